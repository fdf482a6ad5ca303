// The clock's own player, measured in Wine's sound output: the loop, the
// quiet start, and each alarm's own sound or the default one.
#include <windows.h>
#include <mmreg.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "alarms/alarms.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "support/balloon.h"
#include "support/clockwindow.h"
#include "support/program.h"
#include "ui/ui.h"

namespace {

int const rate = 22050;

// Monday 2026-12-07 at that time.
SYSTEMTIME monday(int hour, int minute, int second)
{
    SYSTEMTIME time = {2026, 12, 1, 7, WORD(hour), WORD(minute), WORD(second), 0};
    return time;
}

// A tick of the afternoon before: further back than a clock set back that
// repeats minutes already rung, so that Monday's alarms are due again.
SYSTEMTIME const dayBefore = {2026, 12, 0, 6, 16, 0, 0, 0};

std::wstring tempFile(wchar_t const *name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// A wave file's header: the RIFF chunk, the format chunk of formatBytes
// and the data chunk's head.
void writeWave(std::wstring const &path, void const *format, DWORD formatBytes, void const *data,
               DWORD dataBytes)
{
    DWORD riffBytes = 4 + 8 + formatBytes + 8 + dataBytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    auto put = [&](void const *bytes, DWORD count) { WriteFile(file, bytes, count, &written, nullptr); };
    put("RIFF", 4);
    put(&riffBytes, 4);
    put("WAVEfmt ", 8);
    put(&formatBytes, 4);
    put(format, formatBytes);
    put("data", 4);
    put(&dataBytes, 4);
    put(data, dataBytes);
    CloseHandle(file);
}

// A sine tone as a 16-bit mono wave file; its samples.
std::vector<short> writeTone(std::wstring const &path, double hertz, int count)
{
    std::vector<short> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = short(20000 * std::sin(2 * 3.14159265358979 * hertz * i / rate));
    PCMWAVEFORMAT format = {{WAVE_FORMAT_PCM, 1, DWORD(rate), DWORD(rate * 2), 2}, 16};
    writeWave(path, &format, sizeof format, samples.data(), DWORD(count * 2));
    return samples;
}

// The samples of the default sound beside the program.
std::vector<short> roosterSamples()
{
    std::vector<short> samples;
    HANDLE file = CreateFileW((binFolder() + L"\\rooster.wav").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    std::string text(bytes.begin(), bytes.end());
    size_t data = text.find("data");
    if (data != std::string::npos)
        samples.assign(reinterpret_cast<short const *>(bytes.data() + data + 8),
                       reinterpret_cast<short const *>(bytes.data() + bytes.size()));
    return samples;
}

// Keeps the player fed, as the message loop does, until the output holds
// that many samples (or the time is up); the output then.
std::vector<short> playUntil(size_t samples, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    std::vector<short> sound;
    while ((sound = capturedSound()).size() < samples && GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pumpMessages();
    }
    return sound;
}

// Whether the output begins with the expected samples within a few seconds.
bool beginsWith(std::vector<short> const &expected)
{
    size_t length = std::min<size_t>(expected.size(), rate / 10);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 4000) {
        std::vector<short> sound = playUntil(length, 200);
        if (sound.size() >= length && std::equal(expected.begin(), expected.begin() + length, sound.begin()))
            return true;
    }
    return false;
}

double level(std::vector<short> const &sound, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += double(sound[i]) * sound[i];
    return std::sqrt(sum / count);
}

class AlarmSound : public testing::Test {
protected:
    void SetUp() override
    {
        endToldAlarms();
        snoozes.count = 0;
        setAlarmWindow(nullptr, 0);
        settings.startQuietly = 0;
        lstrcpynW(settings.waveFile, (binFolder() + L"\\rooster.wav").c_str(), textUnits);
        settings.alarms[0].hours = -1;
        checkAlarms(dayBefore);
    }
    void TearDown() override
    {
        stopAlarmSound();
        for (std::wstring const &file : files)
            DeleteFileW(file.c_str());
    }
    // Alarm slot at that time, every day, with its own sound.
    void setAlarm(int slot, int hours, int minutes, wchar_t const *sound)
    {
        AlarmEvent &event = settings.alarms[slot];
        event = {};
        event.on = 1;
        event.id = slot + 1;
        event.hours = hours;
        event.minutes = minutes;
        std::fill(event.week, event.week + 7, 1);
        lstrcpynW(event.sound, sound, textUnits);
        settings.alarms[slot + 1].hours = -1;
    }
    std::vector<short> tone(wchar_t const *name, double hertz, int count)
    {
        files.push_back(tempFile(name));
        return writeTone(files.back(), hertz, count);
    }
    std::vector<std::wstring> files;
};

// A file of a tenth of a second rings for 20 seconds without a silence
// longer than 50 ms.
TEST_F(AlarmSound, ShortFileLoopsWithoutAGap)
{
    std::vector<short> samples = tone(L"loop450.wav", 450, rate / 10);
    setAlarm(0, 7, 30, files.back().c_str());
    checkAlarms(monday(7, 30, 0));
    std::vector<short> sound = playUntil(20 * rate, 40000);
    ASSERT_GE(sound.size(), size_t(20 * rate)) << "the sound stopped";
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), sound.begin())) << "not the alarm's own sound";
    size_t quiet = 0, longest = 0;
    for (size_t i = 0; i < size_t(20 * rate); ++i) {
        quiet = std::abs(sound[i]) < 64 ? quiet + 1 : 0;
        longest = std::max(longest, quiet);
    }
    EXPECT_LE(longest, size_t(rate / 20)) << "a gap of " << longest * 1000 / rate << " ms";
}

// Started quietly over 10 seconds, the first second is at least 20 dB
// below the tenth.
TEST_F(AlarmSound, StartsQuietlyAndRises)
{
    tone(L"quiet450.wav", 450, rate);
    setAlarm(0, 7, 30, files.back().c_str());
    settings.startQuietly = 10;
    checkAlarms(monday(7, 30, 0));
    std::vector<short> sound = playUntil(10 * rate, 30000);
    ASSERT_GE(sound.size(), size_t(10 * rate));
    double first = level(sound, 0, rate), last = level(sound, 9 * rate, rate);
    ASSERT_GT(first, 0) << "silent";
    EXPECT_GE(20 * std::log10(last / first), 20) << "first " << first << ", tenth " << last;
}

// Every kind of wave file the player reads sounds as its 16-bit samples:
// the tone written in each format, rung, comes out as written, less what
// the format cannot hold (8 bits keep the high byte).
TEST_F(AlarmSound, ReadsEachWaveFormat)
{
    static GUID const pcm = {1, 0, 0x10, {0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71}};
    static GUID const floating = {3, 0, 0x10, {0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, 0x71}};
    struct {
        WORD tag, bits, channels;
        DWORD rate;
        bool extensible;
    } const rows[] = {{WAVE_FORMAT_PCM, 8, 1, 11025, false},  {WAVE_FORMAT_PCM, 16, 2, 44100, false},
                      {WAVE_FORMAT_PCM, 24, 1, 48000, false}, {WAVE_FORMAT_IEEE_FLOAT, 32, 2, 22050, false},
                      {WAVE_FORMAT_PCM, 24, 2, 96000, true},  {WAVE_FORMAT_IEEE_FLOAT, 32, 1, 8000, true}};
    std::vector<short> written(2000);
    for (size_t i = 0; i < written.size(); ++i)
        written[i] = short(20000 * std::sin(i * 0.05) + (i % 7) * 3);
    files.push_back(tempFile(L"format.wav"));
    int minute = 30;
    for (auto const &row : rows) {
        setAlarm(0, 7, minute, files.back().c_str());
        std::vector<BYTE> data;
        std::vector<short> expected;
        for (short sample : written) {
            int high = BYTE(sample >> 8), low = BYTE(sample);
            if (row.tag == WAVE_FORMAT_IEEE_FLOAT) {
                float value = sample / 32767.0f;
                BYTE const *bytes = reinterpret_cast<BYTE const *>(&value);
                data.insert(data.end(), bytes, bytes + 4);
            } else if (row.bits == 8)
                data.push_back(BYTE(high ^ 0x80));
            else if (row.bits == 16)
                data.insert(data.end(), {BYTE(low), BYTE(high)});
            else
                data.insert(data.end(), {0x5a, BYTE(low), BYTE(high)});
            expected.push_back(row.bits == 8 ? short(sample & 0xFF00) : sample);
        }
        WAVEFORMATEXTENSIBLE format = {};
        WORD align = WORD(row.channels * row.bits / 8);
        format.Format = {row.extensible ? WORD(WAVE_FORMAT_EXTENSIBLE) : row.tag,
                         row.channels,
                         row.rate,
                         row.rate * align,
                         align,
                         row.bits,
                         WORD(row.extensible ? 22 : 0)};
        format.Samples.wValidBitsPerSample = row.bits;
        format.dwChannelMask = row.channels == 2 ? 3 : 4;
        format.SubFormat = row.tag == WAVE_FORMAT_PCM ? pcm : floating;
        writeWave(files.back(), &format, row.extensible ? sizeof format : 18, data.data(),
                  DWORD(data.size()));
        checkAlarms(monday(7, 29, 59));
        checkAlarms(monday(7, 30, 0));
        EXPECT_TRUE(beginsWith(expected))
            << row.bits << " bits, " << row.channels << " channels, " << row.rate;
        stopAlarmSound();
        checkAlarms(dayBefore);
    }
}

// What the ringing window said when it was shown.
std::wstring ringingText;
void keepRingingText(AlarmNotices const &notices)
{
    HWND clock =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr, nullptr, nullptr);
    showRingingWindow(notices, clock);
    wchar_t text[1024] = L"";
    GetDlgItemTextW(FindWindowA("#32770", "Alarm"), IDC_RINGTEXT, text, 1024);
    ringingText = text;
    closeRingingWindow();
    DestroyWindow(clock);
}

// Whether the output holds a sound, not silence.
bool audible()
{
    std::vector<short> sound = playUntil(rate, 4000);
    return sound.size() >= size_t(rate) && level(sound, 0, rate) > 100;
}

// Two alarms with sounds of their own ring each with its own; one without
// rings the page's wave file, and one whose file is missing the default
// sound beside the program, or, without that, a sound all the same; the
// ringing window names the missing file.
TEST_F(AlarmSound, EachAlarmRingsItsOwnSound)
{
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring beside = program;
    beside = beside.substr(0, beside.rfind(L'\\') + 1) + L"rooster.wav";
    std::vector<short> low = tone(L"own450.wav", 450, rate / 2), high = tone(L"own900.wav", 900, rate / 2),
                       page = tone(L"page675.wav", 675, rate / 2);
    lstrcpynW(settings.waveFile, files.back().c_str(), textUnits);
    std::wstring missing = tempFile(L"no such sound.wav");
    setAlarm(0, 7, 30, files[0].c_str());
    setAlarm(1, 7, 31, files[1].c_str());
    setAlarm(2, 7, 32, L"");
    setAlarm(3, 7, 33, missing.c_str());
    setAlarm(4, 7, 34, missing.c_str());
    std::vector<short> const rooster = roosterSamples(), none;
    struct {
        int minute;
        std::vector<short> const &sound; // none: any sound
        bool unplayable;
    } const rows[] = {
        {30, low, false}, {31, high, false}, {32, page, false}, {33, rooster, true}, {34, none, true}};
    setAlarmHandler(keepRingingText);
    for (auto const &row : rows) {
        ringingText.clear();
        if (row.minute == 33) {
            ASSERT_TRUE(CopyFileW((binFolder() + L"\\rooster.wav").c_str(), beside.c_str(), FALSE));
        }
        checkAlarms(monday(7, row.minute, 0));
        if (row.minute == 33)
            DeleteFileW(beside.c_str());
        EXPECT_TRUE(row.sound.empty() ? audible() : beginsWith(row.sound)) << "7:" << row.minute;
        bool named = ringingText.find(missing) != std::wstring::npos;
        EXPECT_EQ(row.unplayable, named) << "7:" << row.minute;
        stopAlarmSound();
    }
    setAlarmHandler(nullptr);
}

} // namespace
