#include "calendar/HolidayLists.h"

#include "calendar/HolidayRecord.h"
#include "data/GuardedFile.h"
#include "data/Log.h"
#include "data/SafeFile.h"
#include "data/TextEncoding.h"

// One record a line, so that the files read well in a text editor; the line breaks stand in front
// of a month field, where readers skip white space.  The law took effect on 20 July 1948.
const char* const kDefaultFixedHolidays =
    "1^1^元日^20^19480720~\n"
    "1^15^成人の日^20^19480720^1999~\n"
    "2^11^建国記念の日^20^1967~\n"
    "4^29^天皇誕生日^20^19480720^1988~\n"
    "4^29^みどりの日^20^1989^2006~\n"
    "4^29^昭和の日^20^2007~\n"
    "5^3^憲法記念日^20^19480720~\n"
    "5^4^みどりの日^20^2007~\n"
    "5^5^こどもの日^20^19480720~\n"
    "7^20^海の日^20^1996^2002~\n"
    "8^11^山の日^20^2016^2019~\n"
    "8^11^山の日^20^2022~\n"
    "9^15^敬老の日^20^1966^2002~\n"
    "10^10^体育の日^20^1966^1999~\n"
    "11^3^文化の日^20^19480720~\n"
    "11^23^勤労感謝の日^20^19480720~\n"
    "12^23^天皇誕生日^20^1989^2018~\n"
    "2^23^天皇誕生日^20^2020~\n"
    "4^10^結婚の儀^20^1959^1959~\n"
    "2^24^大喪の礼^20^1989^1989~\n"
    "11^12^即位礼正殿の儀^20^1990^1990~\n"
    "6^9^結婚の儀^20^1993^1993~\n"
    "5^1^即位の日^20^2019^2019~\n"
    "10^22^即位礼正殿の儀^20^2019^2019~\n"
    "7^23^海の日^20^2020^2020~\n"
    "7^24^スポーツの日^20^2020^2020~\n"
    "8^10^山の日^20^2020^2020~\n"
    "7^22^海の日^20^2021^2021~\n"
    "7^23^スポーツの日^20^2021^2021~\n"
    "8^8^山の日^20^2021^2021~\n";

const char* const kDefaultRuleHolidays =
    "1^2^成人の日^21^2000~\n"
    "3^20^春分の日^22^19480720~\n"
    "7^3^海の日^21^2003^2019~\n"
    "7^3^海の日^21^2022~\n"
    "9^3^敬老の日^21^2003~\n"
    "9^23^秋分の日^23^19480720~\n"
    "10^2^体育の日^21^2000^2019~\n"
    "10^2^スポーツの日^21^2022~\n"
    "0^0^振替休日^30^19730412^2006~\n"
    "0^0^振替休日^31^2007~\n"
    "0^0^国民の休日^32^19851227^2006~\n"
    "0^0^国民の休日^33^2007~\n";

const char* const kLegacyFixedHolidays =
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

const char* const kLegacyRuleHolidays =
    "1^15^成人の日^2~"
    "3^20^春分の日^10~"
    "9^23^秋分の日^11~"
    "10^10^体育の日^2~";

std::string ReadTextFile(const std::string& path, std::string* problem)
{
    std::string bytes;
    std::string error;
    bool missing = false;
    if (!ReadWholeFile(path, bytes, &error, &missing, kMaxHolidayFileBytes)) {
        if (!missing) {
            LogTrace("holiday file not read: " + error);
            if (problem != nullptr) *problem = error;
        }
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

namespace {
// What a fixed-date or rule file holds, as far as upgrading it is concerned.
enum class EHolidayFile {
    Missing,     // no file, or an empty one
    Legacy,      // exactly the list older versions wrote, never edited
    Current,     // exactly the current built-in list
    Edited,      // anything else: the user's own list
    Unreadable,  // there, but cannot be read (too large, not a file, no permission)
};

struct CHolidayFileDesc {
    const char* fileName;
    const char* legacy;
    const char* builtIn;
};

const CHolidayFileDesc kHolidayFiles[] = {
    {kFixedHolidayFileName, kLegacyFixedHolidays, kDefaultFixedHolidays},
    {kRuleHolidayFileName, kLegacyRuleHolidays, kDefaultRuleHolidays},
};

struct CHolidayFileRead {
    EHolidayFile state = EHolidayFile::Missing;
    std::string text;
    std::string problem;
};

CHolidayFileRead ReadHolidayFile(const CHolidayFileDesc& desc)
{
    CHolidayFileRead read;
    read.text = ReadTextFile(desc.fileName, &read.problem);
    if (!read.problem.empty()) {
        read.state = EHolidayFile::Unreadable;
    } else if (read.text.empty()) {
        read.state = EHolidayFile::Missing;
    } else if (read.text == desc.legacy) {
        read.state = EHolidayFile::Legacy;
    } else if (read.text == desc.builtIn) {
        read.state = EHolidayFile::Current;
    } else {
        read.state = EHolidayFile::Edited;
    }
    return read;
}

// The two lists complete each other (a holiday moved from a fixed date to a Monday rule leaves
// one list and enters the other), so they are judged together: only when neither holds the
// user's own list may the program bring both to the current built-in lists.
bool PairIsUntouched(const CHolidayFileRead (&files)[2])
{
    for (const CHolidayFileRead& file : files) {
        if (file.state == EHolidayFile::Edited || file.state == EHolidayFile::Unreadable)
            return false;
    }
    return true;
}

// Whether a missing file belongs beside an edited partner of the old four-field form: that
// partner was written against the old built-in lists, and the current one beside it would name
// a holiday twice (a fixed 敬老の日 and a Monday one) and invent days in between.
bool MissingBesideOldEdit(const CHolidayFileRead& file, const CHolidayFileRead& partner)
{
    return file.state == EHolidayFile::Missing && partner.state == EHolidayFile::Edited &&
           IsFourFieldList(partner.text);
}

// The list a file gives: its own text, except that a missing, empty or unreadable file gives the
// built-in list (the old one beside an edited old-form partner), and so does the old built-in
// list when its partner is untouched too (an old list beside an edited partner stays the old
// list, which the edit was made against).
std::string ListOfFile(const CHolidayFileDesc& desc, const CHolidayFileRead& file,
                       const CHolidayFileRead& partner, bool pairUntouched)
{
    switch (file.state) {
        case EHolidayFile::Missing:
            return MissingBesideOldEdit(file, partner) ? desc.legacy : desc.builtIn;
        case EHolidayFile::Unreadable:
            return desc.builtIn;
        case EHolidayFile::Legacy:
            return pairUntouched ? desc.builtIn : file.text;
        case EHolidayFile::Current:
        case EHolidayFile::Edited:
            break;
    }
    return file.text;
}
}  // namespace

bool CHolidayLists::LoadHolidayFiles(int year)
{
    const CHolidayFileRead files[2] = {ReadHolidayFile(kHolidayFiles[0]),
                                       ReadHolidayFile(kHolidayFiles[1])};
    const bool untouched = PairIsUntouched(files);
    m_fixedList = ListOfFile(kHolidayFiles[0], files[0], files[1], untouched);
    m_ruleList = ListOfFile(kHolidayFiles[1], files[1], files[0], untouched);
    m_yearList = ReadTextFile(YearHolidayFileName(year));
    return !m_yearList.empty();
}

std::string CHolidayLists::RestoreDefaultHolidays()
{
    const CHolidayFileRead files[2] = {ReadHolidayFile(kHolidayFiles[0]),
                                       ReadHolidayFile(kHolidayFiles[1])};
    std::string error;
    std::string oldForm;
    std::string unreadable;
    for (size_t i = 0; i < 2; ++i) {
        const CHolidayFileRead& file = files[i];
        if (file.state == EHolidayFile::Unreadable) {
            // Not the same as missing: what the user keeps there is never replaced.
            if (!unreadable.empty()) unreadable += "、";
            unreadable += file.problem;
        } else if (file.state == EHolidayFile::Edited && IsFourFieldList(file.text)) {
            if (!oldForm.empty()) oldForm += "・";
            oldForm += kHolidayFiles[i].fileName;
        }
    }
    std::string created;
    for (size_t i = 0; i < 2 && error.empty(); ++i) {
        // Made from the old built-in list, so the pair keeps the meaning it was edited with.
        if (MissingBesideOldEdit(files[i], files[1 - i]) &&
            WriteTextFile(kHolidayFiles[i].fileName, kHolidayFiles[i].legacy, &error)) {
            created = kHolidayFiles[i].fileName;
        }
    }
    if (PairIsUntouched(files)) {
        for (size_t i = 0; i < 2 && error.empty(); ++i) {
            const CHolidayFileDesc& desc = kHolidayFiles[i];
            if (files[i].state == EHolidayFile::Current) continue;
            if (files[i].state == EHolidayFile::Legacy &&
                !KeepBackupCopy(desc.fileName, std::string(desc.fileName) + ".bak", &error)) {
                break;
            }
            WriteTextFile(desc.fileName, desc.builtIn, &error);
        }
    }

    std::string notice;
    if (!error.empty()) {
        LogTrace("holiday files not written: " + error);
        if (!m_toldUnwritable) {
            notice += "祝日ファイルを作業フォルダーに書き込めません（" + error +
                      "）。組み込みの祝日を使います。";
            m_toldUnwritable = true;
        }
    }
    if (!unreadable.empty() && !m_toldUnreadable) {
        if (!notice.empty()) notice += "\n";
        notice +=
            "祝日ファイルを読み込めないため、組み込みの祝日を使います。ファイルはそのままに"
            "しています（" +
            unreadable + "）。";
        m_toldUnreadable = true;
    }
    if (!oldForm.empty() && !m_toldOldForm) {
        if (!notice.empty()) notice += "\n";
        notice += "祝日ファイル（" + oldForm +
                  "）は手で編集された古い形式のため、書いてある通りに使います。現行の祝日にするに"
                  "は、そのファイルを別の名前に変えてから開き直してください。";
        if (!created.empty()) {
            notice += created + " がなかったため、古い形式の組み込みの祝日で作りました。";
        }
        m_toldOldForm = true;
    }
    return notice;
}

bool IsFourFieldList(const std::string& list)
{
    size_t at = 0;
    for (;;) {
        std::string record = TakeRecord(list, at);
        if (record.empty()) return true;
        if (IsDatedRuleCode(ParseHolidayRecord(std::move(record)).ruleCode)) return false;
    }
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
