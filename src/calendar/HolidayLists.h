#pragma once

#include <string>

// Reads a holiday file: the text up to its first zero byte (or its end), decoded as the system's
// text files are.  A missing or unreadable file reads as the empty text and is not created.
std::string ReadTextFile(const std::string& path);

// Writes text followed by one zero byte through the safe-write helper (encoded as the system's
// text files are).  Returns false, with the reason in error when given, if it cannot be stored.
bool WriteTextFile(const std::string& path, const std::string& text, std::string* error = nullptr);

// File names of the holiday lists.  They carry no directory: the lists live in the process's
// working directory.
inline constexpr const char* kFixedHolidayFileName = "S_Holiday.txt";
inline constexpr const char* kRuleHolidayFileName = "D_Holiday.txt";
// The per-year list of a year is read from "<year - 1900>_year.txt" ...
std::string YearHolidayFileName(int year);
// ... and written to "<year - 1900>_holi.txt", which nothing reads back.
std::string YearHolidaySaveFileName(int year);

// The built-in lists written out when the fixed-date list is missing or empty.
extern const char* const kDefaultFixedHolidays;
extern const char* const kDefaultRuleHolidays;

// The three holiday lists of the calendar, each one string of records: holidays on the same date
// every year, holidays found by a rule (n-th Monday, equinox), and extra holidays of one year.
class CHolidayLists {
public:
    // Fills an empty fixed-date list and, independently, an empty rule list with the built-ins.
    void LoadDefaultHolidays();

    // Writes the fixed-date list, then (only if that worked) the rule list, then (likewise) the
    // per-year list of year.  Returns the result of the last write attempted.
    bool SaveHolidayFiles(int year, std::string* error = nullptr);

    // Reads the fixed-date list; when it is empty stops with false.  Then the rule list (empty:
    // stop with false), then the per-year list of year, returning whether that is non-empty.
    // A list whose file is not read keeps what it held.
    bool LoadHolidayFiles(int year);

    // When the fixed-date list is empty (its file missing or empty): LoadDefaultHolidays, then
    // SaveHolidayFiles for year.  A failed write is only traced; the built-ins still apply.
    void RestoreDefaultHolidays(int year);

    const std::string& FixedList() const { return m_fixedList; }
    const std::string& RuleList() const { return m_ruleList; }
    const std::string& YearList() const { return m_yearList; }

    // All three lists one after the other, as the holidays are applied.
    std::string CombinedList() const { return m_fixedList + m_ruleList + m_yearList; }

    void Clear();

private:
    std::string m_fixedList;
    std::string m_ruleList;
    std::string m_yearList;
};

// The calendar's lists for the whole run of the program.
CHolidayLists& TheHolidayLists();
