// The alarm file: a full table goes out and comes back alike; bad files
// get their message or their refused lines; random files never crash the
// reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace {

std::vector<AlarmEvent> fullTable()
{
    std::vector<AlarmEvent> alarms;
    std::wstring const texts[] = {
        L"plain", L"comma, inside", L"\"quoted\" word", L"two\r\nlines", L"caf\u00e9 \u4e2d\u6587 \U0001F600",
        L""};
    for (int i = 0; i < maxAlarms; ++i) {
        AlarmEvent event = {};
        event.hours = i % 24;
        event.minutes = (i * 7) % 60;
        event.on = i % 3 != 0;
        lstrcpynW(event.description, (texts[i % 6] + std::to_wstring(i)).c_str(), textUnits);
        if (i % 5 == 0) {
            SYSTEMTIME day = {};
            day.wYear = WORD(2027 + i % 3);
            day.wMonth = WORD(1 + i % 12);
            day.wDay = WORD(1 + i % 28);
            event.date = localMinute(day);
        } else {
            for (int d = 0; d < 7; ++d)
                event.week[d] = ((i + 1) >> d & 1) || d == i % 7;
        }
        alarms.push_back(event);
    }
    std::wstring longest(259, L'x');
    lstrcpynW(alarms[1].description, longest.c_str(), textUnits);
    return alarms;
}

TEST(AlarmFile, FullTableRoundTrip)
{
    std::vector<AlarmEvent> const alarms = fullTable();
    std::string text = alarmsCsv(alarms);
    EXPECT_EQ(0u, text.find("\xEF\xBB\xBFtime,days,date,on,description\r\n"));
    CsvImport file;
    ASSERT_TRUE(readAlarmsCsv(text, file)) << std::string(file.error.begin(), file.error.end());
    EXPECT_TRUE(file.refused.empty());
    ASSERT_EQ(alarms.size(), file.alarms.size());
    for (size_t i = 0; i < alarms.size(); ++i) {
        AlarmEvent const &in = alarms[i], &out = file.alarms[i].event;
        EXPECT_EQ(in.hours, out.hours) << i;
        EXPECT_EQ(in.minutes, out.minutes) << i;
        EXPECT_EQ(in.on, out.on) << i;
        EXPECT_EQ(in.date, out.date) << i;
        EXPECT_STREQ(in.description, out.description) << i;
        for (int d = 0; d < 7; ++d)
            EXPECT_EQ(in.week[d], out.week[d]) << i << " " << d;
    }
    EXPECT_EQ(2, file.alarms[0].line);
}

struct BadFile {
    char const *what;
    std::string text;
    wchar_t const *error; // the file refused whole; null: lines refused
    std::vector<int> refusedLines;
    char const *reason; // a word of the first line's reason
};

TEST(AlarmFile, BadFilesAreToldWhy)
{
    std::string const header = "time,days,date,on,description\r\n";
    std::string thousand = header;
    for (int i = 0; i < 10000; ++i)
        thousand += "07:30,Mon,,1,x\r\n";
    BadFile const files[] = {
        {"not UTF-8", header + "07:30,Mon,,1,caf\xe9\r\n", L"The file is not UTF-8 text.", {}, nullptr},
        {"huge", std::string(maxCsvBytes + 1, 'a'), L"The file is larger than 1 MB", {}, nullptr},
        {"10,000 lines", thousand, L"The file has more than 1000 lines", {}, nullptr},
        {"empty", "", L"The file is empty.", {}, nullptr},
        {"no description column",
         "time,days,date,on\r\n07:30,Mon,,1\r\n",
         L"\"description\" is missing",
         {},
         nullptr},
        {"quotation never ends",
         header + "07:30,Mon,,1,\"open\r\n",
         L"Line 2 opens a quotation",
         {},
         nullptr},
        {"bad time",
         header + "7:3,Mon,,1,a\r\n24:00,Mon,,1,b\r\n07:30,Mon,,1,c\r\n",
         nullptr,
         {2, 3},
         "HH:MM"},
        {"unknown day", header + "07:30,Mon Funday,,1,a\r\n", nullptr, {2}, "day names"},
        {"bad date", header + "07:30,,2027-02-30,1,a\r\n", nullptr, {2}, "YYYY-MM-DD"},
        {"no day or date", header + "07:30,,,1,a\r\n", nullptr, {2}, "neither"},
        {"on neither 1 nor 0", header + "07:30,Mon,,yes,a\r\n", nullptr, {2}, "not 1 or 0"},
        {"description too long",
         header + "07:30,Mon,,1," + std::string(260, 'x') + "\r\n",
         nullptr,
         {2},
         "259"},
        {"missing field", header + "07:30,Mon,,1\r\n", nullptr, {2}, "4 fields"},
        {"line numbers past a quoted line end",
         header + "07:30,Mon,,1,\"a\r\nb\"\r\n08:00,Mon,,2,c\r\n",
         nullptr,
         {4},
         "not 1 or 0"},
    };
    for (BadFile const &bad : files) {
        CsvImport file;
        bool read = readAlarmsCsv(bad.text, file);
        std::string error(file.error.begin(), file.error.end());
        if (bad.error) {
            EXPECT_FALSE(read) << bad.what;
            EXPECT_NE(std::wstring::npos, file.error.find(bad.error)) << bad.what << ": " << error;
            EXPECT_TRUE(file.alarms.empty()) << bad.what;
            continue;
        }
        ASSERT_TRUE(read) << bad.what << ": " << error;
        std::vector<int> lines;
        for (CsvRefusal const &refusal : file.refused)
            lines.push_back(refusal.line);
        EXPECT_EQ(bad.refusedLines, lines) << bad.what;
        if (!file.refused.empty()) {
            std::string reason(file.refused[0].reason.begin(), file.refused[0].reason.end());
            EXPECT_NE(std::string::npos, reason.find(bad.reason)) << bad.what << ": " << reason;
        }
    }
}

// Random files, from bytes of a good file mutated and cut at random and
// from random bytes of the characters that matter: the reader answers each
// with alarms of valid fields, refused lines or an error, never more
// alarms than lines.
TEST(AlarmFile, TenThousandRandomFiles)
{
    std::mt19937 random(31);
    std::string const good = alarmsCsv(fullTable());
    char const alphabet[] = "0123456789:,\"\r\n -MonTueSat1xyz\xc3\xa9\xff";
    for (int n = 0; n < 10000; ++n) {
        std::string text;
        if (n % 2) {
            text = good.substr(0, random() % (good.size() + 1));
            for (int edits = random() % 20; edits > 0 && !text.empty(); --edits)
                text[random() % text.size()] = char(random());
        } else {
            text.resize(random() % 400);
            for (char &c : text)
                c = alphabet[random() % (sizeof alphabet - 1)];
        }
        CsvImport file;
        bool read = readAlarmsCsv(text, file);
        EXPECT_EQ(read, file.error.empty());
        size_t lines = std::count(text.begin(), text.end(), '\n') + 1;
        EXPECT_LE(file.alarms.size() + file.refused.size(), lines);
        for (CsvLine const &line : file.alarms) {
            ASSERT_TRUE(line.event.hours >= 0 && line.event.hours < 24 && line.event.minutes >= 0 &&
                        line.event.minutes < 60)
                << n;
            ASSERT_LT(lstrlenW(line.event.description), textUnits) << n;
            ASSERT_TRUE(line.line >= 2 && size_t(line.line) <= lines) << n;
        }
    }
}

} // namespace
