// Alarms in a file that a spreadsheet opens: UTF-8 comma-separated values
// with a header row and quoting as RFC 4180 has it.
//   time,days,date,on,description
//   07:30,Mon Tue Wed Thu Fri,,1,Wake up
//   09:00,,2027-01-14,1,"Dentist, Dr. Marr"
#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "settings/settings.h"

static wchar_t const *const columnNames[] = {L"time", L"days", L"date", L"on", L"description"};
static wchar_t const *const dayNames[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};

// A field quoted where it must be: holding a comma, a quote or a line end.
static std::wstring csvField(std::wstring const &text)
{
    if (text.find_first_of(L",\"\r\n") == std::wstring::npos)
        return text;
    std::wstring quoted = L"\"";
    for (wchar_t c : text)
        quoted += c == L'"' ? L"\"\"" : std::wstring(1, c);
    return quoted + L"\"";
}

static std::wstring daysText(AlarmEvent const &event)
{
    std::wstring days;
    for (int day = 0; day < 7 && !event.date; ++day)
        if (event.week[day])
            days += (days.empty() ? L"" : L" ") + std::wstring(dayNames[day]);
    return days;
}

std::string alarmsCsv(std::vector<AlarmEvent> const &alarms)
{
    std::wstring text = L"\xFEFFtime,days,date,on,description\r\n"; // the mark tells spreadsheets it is UTF-8
    for (AlarmEvent const &event : alarms) {
        wchar_t time[8];
        swprintf(time, 8, L"%02d:%02d", event.hours, event.minutes);
        text += std::wstring(time) + L"," + daysText(event) + L"," +
                (event.date ? dayText(event.date) : L"") + L"," + (event.on ? L"1" : L"0") + L"," +
                csvField(event.description) + L"\r\n";
    }
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

// The records of the text: fields, and the line each record starts on.
struct CsvRecord {
    int line;
    std::vector<std::wstring> fields;
};

static bool splitRecords(std::wstring const &text, std::vector<CsvRecord> &records, std::wstring &error)
{
    size_t at = 0;
    int line = 1;
    while (at < text.size()) {
        CsvRecord record = {line, {}};
        std::wstring field;
        bool ended = false;
        while (!ended) {
            if (at < text.size() && text[at] == L'"') {
                for (++at;; ++at) {
                    if (at >= text.size()) {
                        error =
                            L"Line " + std::to_wstring(record.line) + L" opens a quotation that never ends.";
                        return false;
                    }
                    if (text[at] == L'"' && (at + 1 >= text.size() || text[at + 1] != L'"'))
                        break;
                    if (text[at] == L'"')
                        ++at;
                    if (text[at] == L'\n')
                        ++line;
                    field += text[at];
                }
                ++at;
            }
            while (at < text.size() && text[at] != L',' && text[at] != L'\n')
                field += text[at++];
            if (!field.empty() && field.back() == L'\r')
                field.pop_back();
            record.fields.push_back(field);
            field.clear();
            ended = at >= text.size() || text[at] == L'\n';
            if (at < text.size() && text[at] == L'\n')
                ++line;
            ++at;
        }
        if (!(record.fields.size() == 1 && record.fields[0].empty())) // blank lines are no records
            records.push_back(record);
    }
    return true;
}

static bool readDays(std::wstring const &text, int (&week)[7])
{
    for (int &day : week)
        day = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L' ', at);
        std::wstring name = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? text.size() : end + 1;
        if (name.empty())
            continue;
        int day = 0;
        while (day < 7 && lstrcmpiW(name.c_str(), dayNames[day]) != 0)
            ++day;
        if (day == 7)
            return false;
        week[day] = 1;
    }
    return true;
}

// One record as an alarm, or the reason it is refused.
static bool readRecord(CsvRecord const &record, int const (&column)[5], AlarmEvent &event,
                       std::wstring &reason)
{
    event = {};
    auto field = [&](int i) { return record.fields[column[i]]; };
    std::wstring time = field(0), date = field(2), on = field(3), description = field(4);
    wchar_t const *cursor = time.c_str();
    if (!readClock(cursor, event.hours, event.minutes) || *cursor)
        return reason = L"the time \"" + time + L"\" is not HH:MM (00:00 to 23:59)", false;
    if (!readDays(field(1), event.week))
        return reason = L"the days \"" + field(1) + L"\" are not day names such as Mon Tue", false;
    cursor = date.c_str();
    if (!date.empty() && (!readDay(cursor, event.date) || *cursor))
        return reason = L"the date \"" + date + L"\" is not YYYY-MM-DD", false;
    if (event.date)
        for (int &day : event.week)
            day = 0;
    else if (std::count(event.week, event.week + 7, 1) == 0)
        return reason = L"it has neither days nor a date", false;
    if (on != L"1" && on != L"0")
        return reason = L"\"on\" is \"" + on + L"\", not 1 or 0", false;
    event.on = on == L"1";
    if (description.size() > size_t(textUnits - 1))
        return reason = L"the description is longer than 259 characters", false;
    lstrcpynW(event.description, description.c_str(), textUnits);
    return true;
}

bool readAlarmsCsv(std::string const &bytes, CsvImport &result)
{
    result = {};
    if (bytes.size() > maxCsvBytes)
        return result.error = L"The file is larger than 1 MB: an alarm list is far smaller.", false;
    std::wstring text;
    if (!bytes.empty()) {
        int units =
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
        if (units <= 0)
            return result.error = L"The file is not UTF-8 text.", false;
        text.resize(units);
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), &text[0], units);
    }
    if (!text.empty() && text[0] == L'\xFEFF')
        text.erase(0, 1);
    if (text.find(L'\0') != std::wstring::npos)
        return result.error = L"The file is not UTF-8 text.", false;
    std::vector<CsvRecord> records;
    if (!splitRecords(text, records, result.error))
        return false;
    if (records.empty())
        return result.error = L"The file is empty.", false;
    if (records.size() > maxCsvRecords + 1)
        return result.error = L"The file has more than 1000 lines: it is no alarm list.", false;
    int column[5];
    for (int i = 0; i < 5; ++i) {
        column[i] = -1;
        for (size_t f = 0; f < records[0].fields.size(); ++f)
            if (lstrcmpiW(records[0].fields[f].c_str(), columnNames[i]) == 0)
                column[i] = int(f);
        if (column[i] == -1)
            return result.error =
                       L"The first line must name the columns time, days, date, on and description; \"" +
                       std::wstring(columnNames[i]) + L"\" is missing.",
                   false;
    }
    for (size_t r = 1; r < records.size(); ++r) {
        CsvRecord const &record = records[r];
        AlarmEvent event;
        std::wstring reason;
        if (record.fields.size() != records[0].fields.size())
            reason = L"it has " + std::to_wstring(record.fields.size()) + L" fields, not " +
                     std::to_wstring(records[0].fields.size());
        if (reason.empty() && readRecord(record, column, event, reason))
            result.alarms.push_back({record.line, event});
        else
            result.refused.push_back({record.line, reason});
    }
    return true;
}
