#pragma once

#include <string>

// Reads a holiday file: the text up to its first zero byte (or its end), decoded as the system's
// text files are.  A missing or unreadable file reads as the empty text and is not created; for a
// file that exists but cannot be read (too large, not a regular file, no permission) problem, when
// given, gets the reason.
std::string ReadTextFile(const std::string& path, std::string* problem = nullptr);

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

// The built-in lists: the holidays of the national holiday law as amended up to now, in the
// dated form (fixed dates in the one, Mondays, equinoxes, substitute and in-between rules in the
// other).
extern const char* const kDefaultFixedHolidays;
extern const char* const kDefaultRuleHolidays;
// The built-in lists the program used to write, in the four-field form.  A file holding exactly
// one of them was never edited and is replaced by the current list.
extern const char* const kLegacyFixedHolidays;
extern const char* const kLegacyRuleHolidays;

// The three holiday lists of the calendar, each one string of records: holidays on the same date
// every year, holidays found by a rule (n-th Monday, equinox), and extra holidays of one year.
class CHolidayLists {
public:
    // Fills an empty fixed-date list and, independently, an empty rule list with the built-ins.
    void LoadDefaultHolidays();

    // Writes the fixed-date list, then (only if that worked) the rule list, then (likewise) the
    // per-year list of year.  Returns the result of the last write attempted.
    bool SaveHolidayFiles(int year, std::string* error = nullptr);

    // Reads the three lists afresh; returns whether the per-year list of year is non-empty.  A
    // missing, empty or unreadable fixed-date or rule file gives the current built-in list (the
    // old one when its partner is an edited list of the old four-field form); one
    // holding exactly the old built-in list does too when its partner is also untouched (old,
    // current or missing), and otherwise applies as written.  The per-year list is always that
    // of year, empty when it has no file.
    bool LoadHolidayFiles(int year);

    // Brings the files of the working directory up to date, judging the fixed-date and rule
    // files as a pair: only when neither is edited nor unreadable, a missing or empty file is
    // written with its built-in list and one holding exactly the old built-in list is kept as
    // "<name>.bak" and replaced by the current one; otherwise neither is written, except that a
    // missing file beside an edited old-form partner is made from its old built-in list.  Returns
    // what the user should be told (empty when nothing), each matter only once per run: that the
    // files cannot be written, that a file cannot be read (the built-in list is used meanwhile),
    // or which edited files are in the old four-field form.
    std::string RestoreDefaultHolidays();

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
    bool m_toldUnwritable = false;
    bool m_toldUnreadable = false;
    bool m_toldOldForm = false;
};

// Whether a list holds only records of the four-field form (no rule code of the dated form).
bool IsFourFieldList(const std::string& list);

// The calendar's lists for the whole run of the program.
CHolidayLists& TheHolidayLists();
