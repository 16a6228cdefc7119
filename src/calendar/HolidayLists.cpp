#include "calendar/HolidayLists.h"

#include "data/GuardedFile.h"
#include "data/Log.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

const char* const kDefaultFixedHolidays =
    "1^1^元旦^0~"
    "2^11^建国記念日^0~"
    "4^29^緑の日^0~"
    "5^3^憲法記念日^0~"
    "5^4^国民の休日^0~"
    "5^5^子供の日^0~"
    "7^20^海の日^0~"
    "9^15^敬老の日^0~"
    "11^3^分化の日^0~"
    "11^23^勤労感謝の日^0~"
    "12^23^天皇誕生日^0~";

const char* const kDefaultRuleHolidays =
    "1^15^成人の日^2~"
    "3^20^春分の日^10~"
    "9^23^秋分の日^11~"
    "10^10^体育の日^2~";

std::string ReadTextFile(const std::string& path)
{
    std::string bytes;
    std::string error;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, &error, &missing, kMaxHolidayFileBytes)) {
        if (!missing) LogTrace("holiday file not read: " + error);
        return {};
    }
    // Neither CP932 nor UTF-8 uses a zero byte inside a character, so cutting before decoding
    // is safe; whatever an older, longer content left behind the terminator is ignored.
    const size_t terminator = bytes.find('\0');
    if (terminator != std::string::npos) bytes.resize(terminator);
    return DecodeTextFileBytes(bytes);
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* error)
{
    std::string bytes = EncodeTextFileBytes(text);
    bytes.push_back('\0');
    if (!FitsFileLimit(path, bytes.size(), kMaxHolidayFileBytes, error)) return false;
    return WriteFileSafely(path, bytes, error);
}

std::string YearHolidayFileName(int year)
{
    return std::to_string(static_cast<long long>(year) - 1900) + "_year.txt";
}

std::string YearHolidaySaveFileName(int year)
{
    return std::to_string(static_cast<long long>(year) - 1900) + "_holi.txt";
}

void CHolidayLists::LoadDefaultHolidays()
{
    if (m_fixedList.empty()) m_fixedList = kDefaultFixedHolidays;
    if (m_ruleList.empty()) m_ruleList = kDefaultRuleHolidays;
}

bool CHolidayLists::SaveHolidayFiles(int year, std::string* error)
{
    if (!WriteTextFile(kFixedHolidayFileName, m_fixedList, error)) return false;
    if (!WriteTextFile(kRuleHolidayFileName, m_ruleList, error)) return false;
    return WriteTextFile(YearHolidaySaveFileName(year), m_yearList, error);
}

void CHolidayLists::RestoreDefaultHolidays(int year)
{
    if (!m_fixedList.empty()) return;
    LoadDefaultHolidays();
    std::string error;
    if (!SaveHolidayFiles(year, &error)) LogTrace("holiday files not written: " + error);
}

bool CHolidayLists::LoadHolidayFiles(int year)
{
    m_fixedList = ReadTextFile(kFixedHolidayFileName);
    if (m_fixedList.empty()) return false;
    m_ruleList = ReadTextFile(kRuleHolidayFileName);
    if (m_ruleList.empty()) return false;
    m_yearList = ReadTextFile(YearHolidayFileName(year));
    return !m_yearList.empty();
}

void CHolidayLists::Clear()
{
    m_fixedList.clear();
    m_ruleList.clear();
    m_yearList.clear();
}

CHolidayLists& TheHolidayLists()
{
    static CHolidayLists lists;
    return lists;
}
