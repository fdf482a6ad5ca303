// The clock's own player for a ringing alarm: the wave file looping
// without a gap through waveOut on the default device, fed from the
// user-interface thread. Finished buffers come back as window messages
// to a message-only window of the player's own; it refills them there.
// A file that cannot be read or played gives way to the default sound
// beside the program, and that to a tone the player makes itself.
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "alarms/alarms.h"
#include "settings/settings.h"

// The sound as played: 16-bit samples at the file's rate, one or two
// channels, interleaved.
struct Sound {
    WAVEFORMATEX format;
    std::vector<short> samples;
};

int const bufferCount = 3;
DWORD const bufferMs = 200;
// The device counts as failed when no buffer came back for this long; the
// watchdog looks twice a second, so a new device plays within a second.
DWORD const stallMs = 600;
UINT_PTR const watchdogTimer = 1;
UINT const watchdogMs = 400;
// Files larger than this are no alarm sound.
DWORD const largestFile = 64 << 20;
// Start quietly: the ring rises from this level to full volume.
double const quietDb = -40;

static HWND playerWindow;
static HWAVEOUT device;
static Sound sound;
static size_t position;     // the next frame of the sound to play
static ULONGLONG framesOut; // frames handed to the device since the start
static int quietSeconds;
static bool playing; // a sound should be heard, device or not
static DWORD lastReturn;
static WAVEHDR headers[bufferCount];
static std::vector<short> blocks[bufferCount];
static wchar_t unplayed[textUnits];

// The subformats of WAVE_FORMAT_EXTENSIBLE: the base GUID with the tag.
static bool extensibleTag(WAVEFORMATEXTENSIBLE const &format, WORD &tag)
{
    static GUID const base = {0, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    GUID sub = format.SubFormat;
    tag = WORD(sub.Data1);
    sub.Data1 = 0;
    return IsEqualGUID(sub, base) && format.SubFormat.Data1 <= 0xFFFF;
}

// One sample of the data as 16 bits; tag and bits are checked already.
static short sampleAt(BYTE const *data, WORD tag, WORD bits)
{
    if (tag == WAVE_FORMAT_IEEE_FLOAT) {
        float value;
        CopyMemory(&value, data, sizeof value);
        if (!(value == value))
            return 0;
        return short(std::lround(std::max(-1.0f, std::min(value, 1.0f)) * 32767));
    }
    switch (bits) {
    case 8:
        return short((data[0] - 128) * 256);
    case 16:
        return short(data[0] | data[1] << 8);
    case 24:
        return short(data[1] | data[2] << 8);
    default:
        return short(data[2] | data[3] << 8);
    }
}

// Turns the format and data chunks into the sound; false for a format the
// player does not know.
static bool decodeWave(BYTE const *formatChunk, LONG formatBytes, BYTE const *data, LONG dataBytes,
                       Sound &decoded)
{
    WAVEFORMATEXTENSIBLE format = {};
    if (formatBytes < 16)
        return false;
    CopyMemory(&format, formatChunk, std::min<size_t>(formatBytes, sizeof format));
    WORD tag = format.Format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE && (formatBytes < LONG(sizeof format) || !extensibleTag(format, tag)))
        return false;
    WORD bits = format.Format.wBitsPerSample, channels = format.Format.nChannels;
    bool known = (tag == WAVE_FORMAT_PCM && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                 (tag == WAVE_FORMAT_IEEE_FLOAT && bits == 32);
    DWORD rate = format.Format.nSamplesPerSec;
    if (!known || channels < 1 || channels > 2 || rate < 1000 || rate > 384000 ||
        format.Format.nBlockAlign != channels * bits / 8)
        return false;
    LONG frames = dataBytes / format.Format.nBlockAlign;
    if (frames == 0)
        return false;
    decoded.format = {WAVE_FORMAT_PCM, channels, rate, rate * channels * 2, WORD(channels * 2), 16, 0};
    decoded.samples.resize(size_t(frames) * channels);
    for (size_t i = 0; i < decoded.samples.size(); ++i)
        decoded.samples[i] = sampleAt(data + i * (bits / 8), tag, bits);
    return true;
}

// The file whole in memory: mmio then reads it as a memory file, which
// knows neither the length limit of its file names nor their "+".
static bool readFile(wchar_t const *path, std::vector<BYTE> &bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    DWORD read = 0;
    bool good = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= largestFile;
    if (good) {
        bytes.resize(size_t(size.QuadPart));
        good = ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr) && read == bytes.size();
    }
    CloseHandle(file);
    return good;
}

static bool readWave(wchar_t const *path, Sound &decoded)
{
    std::vector<BYTE> bytes;
    if (!readFile(path, bytes))
        return false;
    MMIOINFO memory = {};
    memory.fccIOProc = FOURCC_MEM;
    memory.pchBuffer = reinterpret_cast<HPSTR>(bytes.data());
    memory.cchBuffer = LONG(bytes.size());
    HMMIO file = mmioOpenW(nullptr, &memory, MMIO_READ);
    if (!file)
        return false;
    MMCKINFO riff = {}, chunk = {};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    BYTE format[64] = {};
    LONG formatBytes = 0;
    std::vector<BYTE> data;
    bool good = mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR;
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (good && mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
        formatBytes =
            mmioRead(file, reinterpret_cast<HPSTR>(format), LONG(std::min<DWORD>(chunk.cksize, 64)));
        good = mmioAscend(file, &chunk, 0) == MMSYSERR_NOERROR;
    }
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (good && mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
        // A data chunk that claims more than the file holds plays what is there.
        data.resize(std::min<size_t>(chunk.cksize, bytes.size()));
        LONG read = mmioRead(file, reinterpret_cast<HPSTR>(data.data()), LONG(data.size()));
        data.resize(read > 0 ? size_t(read) : 0);
    }
    mmioClose(file, 0);
    return good && decodeWave(format, formatBytes, data.data(), LONG(data.size()), decoded);
}

bool soundReadable(wchar_t const *name)
{
    wchar_t path[MAX_PATH];
    Sound probe;
    return programFilePath(name, path) && readWave(path, probe);
}

// The last resort: three short beeps of 880 Hz and a pause.
static void makeTone(Sound &tone)
{
    DWORD const rate = 22050;
    tone.format = {WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
    tone.samples.assign(rate, 0);
    double const pi = 3.14159265358979;
    for (int beep = 0; beep < 3; ++beep) {
        size_t start = beep * rate / 4, length = rate * 3 / 20;
        for (size_t i = 0; i < length; ++i) {
            double fade = std::min(1.0, std::min(i, length - i) / (rate * 0.005));
            tone.samples[start + i] = short(24000 * fade * std::sin(2 * pi * 880 * i / rate));
        }
    }
}

// The gain of the frame that far into the ring: linear in decibels from
// quietDb to full over quietSeconds.
static double gainAt(ULONGLONG frame)
{
    double rampFrames = double(quietSeconds) * sound.format.nSamplesPerSec;
    if (frame >= rampFrames)
        return 1;
    return std::pow(10.0, quietDb * (1 - frame / rampFrames) / 20);
}

// The next stretch of the loop, wrapped at the sound's end without a gap.
static void fillBlock(int index)
{
    WORD channels = sound.format.nChannels;
    size_t frames = size_t(sound.format.nSamplesPerSec) * bufferMs / 1000,
           total = sound.samples.size() / channels;
    std::vector<short> &block = blocks[index];
    block.resize(frames * channels);
    double gain = gainAt(framesOut), step = std::pow(gainAt(framesOut + frames) / gain, 1.0 / frames);
    for (size_t frame = 0; frame < frames; ++frame, gain *= step) {
        for (WORD c = 0; c < channels; ++c)
            block[frame * channels + c] = short(sound.samples[position * channels + c] * std::min(gain, 1.0));
        position = (position + 1) % total;
    }
    framesOut += frames;
    WAVEHDR &header = headers[index];
    header = {};
    header.lpData = reinterpret_cast<LPSTR>(block.data());
    header.dwBufferLength = DWORD(block.size() * sizeof(short));
}

static bool queueBlock(int index)
{
    fillBlock(index);
    return waveOutPrepareHeader(device, &headers[index], sizeof(WAVEHDR)) == MMSYSERR_NOERROR &&
           waveOutWrite(device, &headers[index], sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

static void closeDevice()
{
    if (!device)
        return;
    HWAVEOUT closing = device;
    device = nullptr; // buffers that come back now are not refilled
    waveOutReset(closing);
    for (WAVEHDR &header : headers)
        if (header.dwFlags & WHDR_PREPARED)
            waveOutUnprepareHeader(closing, &header, sizeof(WAVEHDR));
    waveOutClose(closing);
}

// Opens the default device for the sound and fills its buffers; the
// result of the open (WAVERR_BADFORMAT: the device cannot play it).
static MMRESULT openDevice()
{
    MMRESULT result =
        waveOutOpen(&device, WAVE_MAPPER, &sound.format, DWORD_PTR(playerWindow), 0, CALLBACK_WINDOW);
    if (result != MMSYSERR_NOERROR) {
        device = nullptr;
        return result;
    }
    lastReturn = GetTickCount();
    for (int i = 0; i < bufferCount; ++i)
        if (!queueBlock(i)) {
            closeDevice();
            return MMSYSERR_ERROR;
        }
    return MMSYSERR_NOERROR;
}

// Buffers that a reset returned to a device since closed are not refilled.
static void onBufferDone(HWAVEOUT from, WAVEHDR *header)
{
    if (!device || from != device || header < headers || header >= headers + bufferCount ||
        !(header->dwFlags & WHDR_DONE))
        return;
    lastReturn = GetTickCount();
    waveOutUnprepareHeader(device, header, sizeof(WAVEHDR));
    if (!queueBlock(int(header - headers))) {
        closeDevice();
        openDevice();
    }
}

// A device that was unplugged, or that stopped returning buffers, is
// replaced by the default device of now.
static void onWatchdog()
{
    if (!playing)
        return;
    if (device && GetTickCount() - lastReturn < stallMs)
        return;
    closeDevice();
    // A new device that cannot play the sound's format still rings.
    if (openDevice() == WAVERR_BADFORMAT) {
        makeTone(sound);
        position = 0;
        openDevice();
    }
}

static LRESULT CALLBACK playerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case MM_WOM_DONE:
        onBufferDone(reinterpret_cast<HWAVEOUT>(wParam), reinterpret_cast<WAVEHDR *>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == watchdogTimer)
            onWatchdog();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static bool createPlayerWindow()
{
    if (playerWindow)
        return true;
    WNDCLASSW type = {};
    type.lpfnWndProc = playerProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"HalvitrumPlayer";
    RegisterClassW(&type);
    playerWindow = CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   type.hInstance, nullptr);
    return playerWindow != nullptr;
}

// Tries one source; false when it cannot be read, or the device cannot
// play its format. A missing device is no fault of the sound: the
// watchdog opens one when it appears.
static bool trySound(bool (*load)(Sound &), bool *noDevice)
{
    if (!load(sound))
        return false;
    position = 0;
    framesOut = 0;
    MMRESULT result = openDevice();
    *noDevice = result == MMSYSERR_BADDEVICEID || result == MMSYSERR_NODRIVER || result == MMSYSERR_ALLOCATED;
    return result == MMSYSERR_NOERROR || *noDevice;
}

static wchar_t const *chosenName;
static bool loadChosen(Sound &into)
{
    wchar_t path[MAX_PATH];
    return programFilePath(chosenName, path) && readWave(path, into);
}

static bool loadDefault(Sound &into)
{
    wchar_t path[MAX_PATH];
    return programFilePath(defaultWaveFile, path) && readWave(path, into);
}

static bool loadTone(Sound &into)
{
    makeTone(into);
    return true;
}

void startAlarmPlayer(wchar_t const *file, int quiet)
{
    stopAlarmPlayer();
    // A sound that the Alarms page's Play started gives way, as ever.
    PlaySoundW(nullptr, nullptr, 0);
    if (!createPlayerWindow())
        return;
    quietSeconds = quiet;
    playing = true;
    unplayed[0] = L'\0';
    chosenName = file;
    bool noDevice = false;
    if (!trySound(loadChosen, &noDevice)) {
        lstrcpynW(unplayed, file, textUnits);
        if (lstrcmpiW(file, defaultWaveFile) == 0 || !trySound(loadDefault, &noDevice))
            trySound(loadTone, &noDevice);
    }
    SetTimer(playerWindow, watchdogTimer, watchdogMs, nullptr);
}

void stopAlarmPlayer()
{
    playing = false;
    unplayed[0] = L'\0';
    if (playerWindow)
        KillTimer(playerWindow, watchdogTimer);
    closeDevice();
}

wchar_t const *unplayedSound()
{
    return unplayed;
}

wchar_t const *alarmSound(AlarmEvent const &event)
{
    return event.sound[0] ? event.sound : settings.waveFile;
}
