// Random registry states of the settings key and its Events subkey, loaded
// and drawn: nothing crashes, every text ends inside its buffer, and every
// value stored well-formed is taken, every such alarm included.
// HALVITRUM_FUZZ_STATES sets the number of states (1,000 unless set).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "app/app.h"
#include "render/render.h"
#include "settings/settings.h"
#include "support/registry.h"

namespace {

// One stored value as written, or an absent one.
struct Stored {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool present = false;

    bool isNumber() const
    {
        return present && type == REG_DWORD && bytes.size() == sizeof(DWORD);
    }
    DWORD number() const
    {
        DWORD value = 0;
        memcpy(&value, bytes.data(), sizeof value);
        return value;
    }
};

// A stored alarm's values in the order hours, minutes, description, on,
// week0 to week6, and whether all of them are what the program writes.
struct StoredAlarm {
    Stored values[11];
    bool wellFormed = true;
};

struct NumberField {
    char const *name;
    int ClockSettings::*field;
};

NumberField const numberFields[] = {
    {"size", &ClockSettings::size},
    {"show.seconds", &ClockSettings::showSeconds},
    {"show.dayOfTheWeek", &ClockSettings::showDayOfTheWeek},
    {"show.numbers", &ClockSettings::showNumbers},
    {"show.logo", &ClockSettings::showLogo},
    {"show.logoType", &ClockSettings::logoType},
    {"onTop", &ClockSettings::onTop},
    {"X", &ClockSettings::windowX},
    {"Y", &ClockSettings::windowY},
    {"Use color", &ClockSettings::useColor},
    {"Use image", &ClockSettings::useImage},
};

struct ColorField {
    char const *name;
    COLORREF ClockSettings::*field;
};

ColorField const colorFields[] = {
    {"Color background", &ClockSettings::colorBackground},
    {"Color markers", &ClockSettings::colorMarkers},
    {"Color ring 1", &ClockSettings::colorRing1},
    {"Color ring 2", &ClockSettings::colorRing2},
    {"Color text", &ClockSettings::colorText},
};

struct TextField {
    wchar_t const *name;
    wchar_t (ClockSettings::*field)[textUnits];
    wchar_t const *fallback; // taken for an empty text
};

TextField const textFields[] = {
    {L"show.logoText", &ClockSettings::logoText, nullptr},
    {L"Image", &ClockSettings::imagePath, L"rose.jpg"},
    {L"Wave file", &ClockSettings::waveFile, L"rooster.wav"},
};

DWORD const anyTypes[] = {REG_NONE, REG_SZ,       REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN,
                          REG_LINK, REG_MULTI_SZ, REG_QWORD,     0x0000ABCD, 0x7FFFFFFF};
DWORD const extremeNumbers[] = {0x80000000, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFF80, 0x10000, 100000};

class RegistryFuzzer {
public:
    explicit RegistryFuzzer(unsigned seed) : random_(seed) {}

    // Writes a new random state; remembers what it wrote.
    void writeState()
    {
        clearRegistry();
        numbers_.clear();
        texts_.clear();
        alarms_.clear();
        if (chance(5))
            return; // no settings key at all
        HKEY key = createKey(settingsKey);
        for (NumberField const &field : numberFields)
            numbers_.push_back(store(key, field.name, numberValue(0, 400)));
        for (ColorField const &field : colorFields)
            numbers_.push_back(store(key, field.name, numberValue(0, 0xFFFFFF)));
        for (TextField const &field : textFields)
            texts_.push_back(store(key, field.name, textValue()));
        RegCloseKey(key);
        if (chance(10))
            return; // no Events subkey
        key = createKey(eventsKey);
        int const count = chance(15) ? between(90, 101) : chance(40) ? between(6, 20) : between(0, 5);
        for (int number = 0; number < count; ++number)
            alarms_.push_back(storeAlarm(key, number));
        RegCloseKey(key);
    }

    // Checks the record that loadSettings made of the last state written.
    void expectLoaded() const
    {
        for (TextField const &field : textFields)
            ASSERT_NE(nullptr, wmemchr(settings.*field.field, L'\0', textUnits)) << "unterminated";
        expectNumbers();
        expectTexts();
        expectAlarms();
    }

private:
    bool chance(int percent)
    {
        return int(random_() % 100) < percent;
    }
    int between(int low, int high) // both included
    {
        return low + int(random_() % unsigned(high - low + 1));
    }
    HKEY createKey(char const *path)
    {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }
    static Stored number(DWORD value)
    {
        Stored stored;
        stored.present = true;
        stored.type = REG_DWORD;
        stored.bytes.resize(sizeof value);
        memcpy(stored.bytes.data(), &value, sizeof value);
        return stored;
    }
    static Stored text(std::wstring const &units, bool terminated)
    {
        Stored stored;
        stored.present = true;
        stored.type = REG_SZ;
        size_t count = units.size() + (terminated ? 1 : 0);
        stored.bytes.resize(count * sizeof(wchar_t));
        memcpy(stored.bytes.data(), units.c_str(), stored.bytes.size());
        return stored;
    }
    // Text of any script, sometimes with lone surrogates; no null inside.
    std::wstring randomText(size_t length)
    {
        std::wstring units;
        for (size_t i = 0; i < length; ++i) {
            switch (random_() % 4) {
            case 0:
                units += wchar_t(between(0x20, 0x7E));
                break;
            case 1:
                units += wchar_t(between(0xA0, 0x7FF));
                break;
            case 2:
                units += wchar_t(between(0x3000, 0x9FFF));
                break;
            default:
                units += wchar_t(between(0xD800, 0xDFFF));
            }
        }
        return units;
    }
    // Something that is not what the program writes: of any type and
    // length, a text without terminator, or a number of the wrong size.
    Stored damaged()
    {
        Stored stored;
        stored.present = true;
        switch (random_() % 3) {
        case 0:
            stored.type = anyTypes[random_() % ARRAYSIZE(anyTypes)];
            stored.bytes.resize(between(0, 2048));
            for (BYTE &byte : stored.bytes)
                byte = BYTE(random_());
            break;
        case 1:
            stored = text(randomText(between(0, 1024)), false);
            break;
        default:
            stored.type = REG_DWORD;
            stored.bytes.resize(between(0, 8));
            for (BYTE &byte : stored.bytes)
                byte = BYTE(random_());
            if (stored.bytes.size() == sizeof(DWORD))
                stored.bytes.push_back(0);
        }
        return stored;
    }
    Stored numberValue(DWORD low, DWORD high)
    {
        int kind = between(0, 9);
        if (kind < 4)
            return number(low + random_() % (high - low + 1));
        if (kind < 6)
            return number(extremeNumbers[random_() % ARRAYSIZE(extremeNumbers)]);
        if (kind < 8)
            return damaged();
        return Stored();
    }
    Stored textValue()
    {
        int kind = between(0, 9);
        if (kind < 4)
            return text(randomText(between(0, textUnits - 1)), true);
        if (kind < 6)
            return text(randomText(between(textUnits, 1023)), true); // too long
        if (kind < 8)
            return damaged();
        return Stored();
    }
    Stored store(HKEY key, wchar_t const *name, Stored const &value)
    {
        if (value.present)
            RegSetValueExW(key, name, 0, value.type, value.bytes.data(), DWORD(value.bytes.size()));
        return value;
    }
    Stored store(HKEY key, char const *name, Stored const &value)
    {
        std::wstring wide(name, name + strlen(name));
        return store(key, wide.c_str(), value);
    }
    // Each value is well-formed nine times in ten; a damaged one is
    // damaged in any way, hours and minutes also out of range.
    StoredAlarm storeAlarm(HKEY key, int number)
    {
        static char const *const fields[] = {"hours", "minutes", "description", "on"};
        StoredAlarm alarm;
        for (int index = 0; index < 11; ++index) {
            bool damage = chance(10);
            Stored &value = alarm.values[index];
            if (index == 2)
                value =
                    damage ? (chance(50) ? damaged() : Stored()) : text(randomText(between(0, 259)), true);
            else if (!damage)
                value = index == 0   ? this->number(between(0, 23))
                        : index == 1 ? this->number(between(0, 59))
                                     : this->number(between(0, 1));
            else if (index < 2 && chance(50))
                value = this->number(chance(50) ? between(index ? 60 : 24, 1000) : 0xFFFFFFFF);
            else
                value = chance(50) ? damaged() : Stored();
            alarm.wellFormed = alarm.wellFormed && !damage;
            char name[64];
            if (index < 4)
                wsprintfA(name, "Event_%02d_%s", number, fields[index]);
            else
                wsprintfA(name, "Event_%02d_week%d", number, index - 4);
            store(key, name, value);
        }
        return alarm;
    }

    void expectNumbers() const
    {
        size_t index = 0;
        for (NumberField const &field : numberFields) {
            Stored const &stored = numbers_.size() > index ? numbers_[index] : Stored();
            ++index;
            // Only the two known logo contents are taken.
            if (stored.isNumber() && (lstrcmpA(field.name, "show.logoType") != 0 || stored.number() <= 1)) {
                EXPECT_EQ(int(stored.number()), settings.*field.field) << field.name;
            }
        }
        for (ColorField const &field : colorFields) {
            Stored const &stored = numbers_.size() > index ? numbers_[index] : Stored();
            ++index;
            if (stored.isNumber()) {
                EXPECT_EQ(stored.number(), settings.*field.field) << field.name;
            }
        }
    }
    void expectTexts() const
    {
        for (size_t i = 0; i < texts_.size(); ++i) {
            Stored const &stored = texts_[i];
            size_t units = stored.bytes.size() / sizeof(wchar_t);
            bool wellFormed = stored.present && stored.type == REG_SZ && stored.bytes.size() % 2 == 0 &&
                              units >= 1 && units <= size_t(textUnits) &&
                              reinterpret_cast<wchar_t const *>(stored.bytes.data())[units - 1] == L'\0';
            if (!wellFormed)
                continue;
            std::wstring expected(reinterpret_cast<wchar_t const *>(stored.bytes.data()));
            if (expected.empty() && textFields[i].fallback)
                expected = textFields[i].fallback;
            EXPECT_EQ(expected, settings.*textFields[i].field) << textFields[i].name;
        }
    }
    // The well-formed alarms before the first number without an hours
    // number are loaded in their order; the damaged ones may be left out.
    void expectAlarms() const
    {
        int count = 0;
        while (count < maxAlarms && settings.alarms[count].hours != -1) {
            AlarmEvent const &event = settings.alarms[count];
            ASSERT_NE(nullptr, wmemchr(event.description, L'\0', textUnits)) << "alarm " << count;
            EXPECT_TRUE(event.hours >= 0 && event.hours <= 23 && event.minutes >= 0 && event.minutes <= 59)
                << "alarm " << count << " at " << event.hours << ":" << event.minutes;
            ++count;
        }
        int slot = 0;
        for (size_t number = 0; number < alarms_.size() && number < size_t(maxAlarms); ++number) {
            StoredAlarm const &alarm = alarms_[number];
            if (!alarm.values[0].isNumber())
                break;
            if (!alarm.wellFormed)
                continue;
            while (slot < count && !matches(settings.alarms[slot], alarm))
                ++slot;
            ASSERT_LT(slot, count) << "stored alarm " << number << " was not loaded";
            ++slot;
        }
    }
    static bool matches(AlarmEvent const &event, StoredAlarm const &alarm)
    {
        if (int(alarm.values[0].number()) != event.hours || int(alarm.values[1].number()) != event.minutes ||
            int(alarm.values[3].number()) != event.on ||
            lstrcmpW(reinterpret_cast<wchar_t const *>(alarm.values[2].bytes.data()), event.description) != 0)
            return false;
        for (int day = 0; day < 7; ++day)
            if (int(alarm.values[4 + day].number()) != event.week[day])
                return false;
        return true;
    }

    std::mt19937 random_;
    std::vector<Stored> numbers_;
    std::vector<Stored> texts_;
    std::vector<StoredAlarm> alarms_;
};

} // namespace

TEST(SettingsFuzz, RandomRegistryStatesLoadAndDraw)
{
    int states = 1000;
    if (char const *wanted = getenv("HALVITRUM_FUZZ_STATES"))
        states = atoi(wanted);
    HWND window =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    createDrawingResources(mainFace, window);
    SYSTEMTIME now = {2026, 12, 1, 7, 10, 10, 30, 0}; // a Monday
    RegistryFuzzer fuzzer(20261208);
    DWORD start = GetTickCount();
    for (int state = 0; state < states; ++state) {
        fuzzer.writeState();
        loadSettings();
        {
            SCOPED_TRACE("state " + std::to_string(state));
            fuzzer.expectLoaded();
        }
        if (HasFatalFailure())
            break;
        loadBackgroundImage();
        int side = clampSide(settings.size);
        mainFace.faceDirty = 1;
        renderClock(mainFace, side, side, now);
        EXPECT_EQ(0, mainFace.faceDirty);
        GdiFlush();
        DWORD centre = surfacePixels(mainFace.frameDC)[(side / 2) * mainFace.surfaceSide + side / 2];
        EXPECT_EQ(0xFFu, centre >> 24) << "state " << state << ": no clock drawn";
    }
    printf("%d registry states loaded and drawn in %.1f s\n", states, (GetTickCount() - start) / 1000.0);
    releaseDrawingResources(mainFace);
    DestroyWindow(window);
    clearRegistry();
}
