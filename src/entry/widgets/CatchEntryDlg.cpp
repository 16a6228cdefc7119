#include "entry/widgets/CatchEntryDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QValidator>
#include <cstdlib>

#include "calendar/MoonPhase.h"
#include "data/CatchStore.h"
#include "data/Clock.h"
#include "data/DataFolder.h"
#include "data/DecimalInt.h"
#include "data/DecimalNumber.h"
#include "data/PersonalBest.h"
#include "data/TextEncoding.h"
#include "data/TripDate.h"
#include "entry/FishNameList.h"
#include "entry/TripSaver.h"
#include "entry/widgets/HitListCtrl.h"
#include "entry/widgets/TidePortCombo.h"
#include "entry/widgets/UpDownCtrl.h"
#include "photos/PhotoCopies.h"
#include "photos/ThumbnailDecoder.h"
#include "photos/widgets/PhotoCopyProgress.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "places/CoordinateText.h"
#include "tides/TideEntryTexts.h"
#include "uikit/DesktopServices.h"
#include "uikit/DialogUnits.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

namespace {

// The date as the picker shows it and the catch file stores it: year first, four digits.
const QString kDateFormat = QStringLiteral("yyyy/MM/dd");

// Thumbnail capacities: every photo of a trip just opened, the first six after a change.
constexpr int kOpenCapacity = 100;
constexpr int kRebuildCapacity = 6;

int Cp932Length(const QString& text)
{
    return static_cast<int>(Cp932ByteLength(StdFromQString(text)));
}

// Keeps a single-line field within the byte limit as the user types or pastes: what does not
// fit is dropped from the end of the inserted text, so the rest of the field stays as it was.
class CByteLimitValidator : public QValidator {
public:
    CByteLimitValidator(int maxBytes, QObject* parent) : QValidator(parent), m_maxBytes(maxBytes) {}

    State validate(QString& input, int& pos) const override
    {
        while (Cp932Length(input) > m_maxBytes) {
            if (pos <= 0) return Invalid;
            const int n =
                (pos >= 2 && input[pos - 1].isLowSurrogate() && input[pos - 2].isHighSurrogate())
                    ? 2
                    : 1;
            input.remove(pos - n, n);
            pos -= n;
        }
        return Acceptable;
    }

private:
    int m_maxBytes;
};

void LimitLineEdit(QLineEdit* edit, int maxBytes)
{
    edit->setValidator(new CByteLimitValidator(maxBytes, edit));
}

// The same for a multi-line field: characters beyond the limit are taken off the end of the
// text just inserted.
void LimitPlainTextEdit(QPlainTextEdit* edit, int maxBytes)
{
    QObject::connect(edit->document(), &QTextDocument::contentsChange, edit,
                     [edit, maxBytes](int position, int, int added) {
                         if (added <= 0) return;
                         const QString text = edit->toPlainText();
                         int excess = Cp932Length(text) - maxBytes;
                         if (excess <= 0) return;
                         int end = std::min<int>(position + added, static_cast<int>(text.size()));
                         int start = end;
                         while (excess > 0 && start > position) {
                             int n = 1;
                             if (start >= 2 && text[start - 1].isLowSurrogate() &&
                                 text[start - 2].isHighSurrogate()) {
                                 n = 2;
                             }
                             excess -= Cp932Length(text.mid(start - n, n));
                             start -= n;
                         }
                         QTextCursor cursor(edit->document());
                         cursor.setPosition(start);
                         cursor.setPosition(end, QTextCursor::KeepAnchor);
                         cursor.removeSelectedText();
                     });
}

std::vector<std::string> ToStd(const QStringList& list)
{
    std::vector<std::string> out;
    out.reserve(static_cast<size_t>(list.size()));
    for (const QString& text : list) out.push_back(StdFromQString(text));
    return out;
}

QStringList ToQt(const std::vector<std::string>& list)
{
    QStringList out;
    for (const std::string& text : list) out << QStringFromStd(text);
    return out;
}

std::string Cut(const QString& text)
{
    return CutToCp932Bytes(StdFromQString(text), CCatchEntryDlg::kMaxTextBytes);
}

QStringList ComboEntries(const QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
}

// Selects the entry a stored text finds; a text that finds none stays visible in the edit field,
// so saving again keeps it.
void SelectStoredText(QComboBox* combo, const std::string& stored)
{
    const QString text = QStringFromStd(stored);
    const int index = FindComboEntry(ComboEntries(combo), text);
    combo->setCurrentIndex(index);
    if (index < 0) combo->setEditText(text);
}

QMessageBox::StandardButton AskToSaveChanges(QWidget* parent, const QString& lead)
{
    return ShowMessageBox(
        parent, lead + QStringLiteral("変更を保存しますか？"), EMessageBoxIcon::Question,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
}

}  // namespace

bool ConfirmClosingCatchEntries(QWidget* parent, const QList<CCatchEntryDlg*>& dialogs)
{
    QList<CCatchEntryDlg*> open;
    QList<CCatchEntryDlg*> changed;
    for (CCatchEntryDlg* dialog : dialogs) {
        if (dialog == nullptr || dialog->IsClosing()) continue;
        open << dialog;
        if (dialog->HasChanges()) changed << dialog;
    }
    if (!changed.isEmpty()) {
        const QString lead =
            changed.size() == 1
                ? QStringLiteral("入力中の釣行データがあります。\n")
                : QStringLiteral("入力中の釣行データが %1 件あります。\n").arg(changed.size());
        switch (AskToSaveChanges(parent, lead)) {
            case QMessageBox::Save:
                for (CCatchEntryDlg* dialog : changed) {
                    if (dialog->SaveChanges()) continue;
                    // The failure has been shown; the program stays with the entry on screen.
                    dialog->raise();
                    dialog->activateWindow();
                    return false;
                }
                break;
            case QMessageBox::Discard:
                break;
            default:
                return false;
        }
    }
    // The answer settles every dialog: none stays behind the ending program to ask again.
    for (CCatchEntryDlg* dialog : open) {
        dialog->DiscardChanges();
        dialog->hide();
    }
    return true;
}

int FindComboEntry(const QStringList& entries, const QString& text)
{
    if (text.isEmpty() || entries.isEmpty()) return -1;
    const int count = static_cast<int>(entries.size());
    for (int k = 1; k <= count; ++k) {
        const int i = k % count;
        if (entries[i].startsWith(text, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

CCatchEntryDlg::CCatchEntryDlg(QWidget* owner, CCatchStore& store, const CDataFolder& folder,
                               int position, const CTideStations* stations)
    : QDialog(owner),
      m_owner(owner),
      m_store(store),
      m_folder(folder),
      m_position(position < 0 ? -1 : position),
      m_tideStations(stations != nullptr ? *stations : ShippedTideStations()),
      m_placeBook(&m_tideStations)
{
    setWindowTitle(QStringLiteral("釣果データ入力画面"));
    setObjectName(QString::number(kTemplateId));
    setModal(false);
    CreateControls();
    InitDialog();
    InitTidePort();
    m_initialising = false;
    m_baseline = GetTripFromControls();
    m_typedCatchBaseline = CatchFieldTexts();
}

CCatchEntryDlg::~CCatchEntryDlg()
{
    CancelThumbnails(m_placePhotoList);
    CancelThumbnails(m_fishPhotoList);
}

void CCatchEntryDlg::CreateControls()
{
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units(font());
    // The controls sit on a page of the classic size; on a screen too small for it the page
    // scrolls inside a dialog that fits.
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("content"));
    const QSize content = units.ToPixels(299, 439);
    m_content->setFixedSize(content);

    const auto label = [&](const char* text, int x, int y, int w, int h) {
        auto* control = new QLabel(QString::fromUtf8(text), m_content);
        units.Place(control, x, y, w, h);
        return control;
    };
    const auto named = [&](QWidget* control, int id, int x, int y, int w, int h) {
        control->setObjectName(QString::number(id));
        units.Place(control, x, y, w, h);
    };
    const auto lineEdit = [&](int id, int x, int y, int w, int h) {
        auto* edit = new QLineEdit(m_content);
        named(edit, id, x, y, w, h);
        LimitLineEdit(edit, kMaxTextBytes);
        return edit;
    };
    const auto combo = [&](int id, int x, int y, int w) {
        auto* box = new QComboBox(m_content);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(12);
        named(box, id, x, y, w, 13);
        LimitLineEdit(box->lineEdit(), kMaxTextBytes);
        return box;
    };
    const auto button = [&](const char* text, int id, int x, int y, int w, int h) {
        auto* push = new QPushButton(QString::fromUtf8(text), m_content);
        named(push, id, x, y, w, h);
        push->setAutoDefault(false);
        return push;
    };

    label("日付：", 10, 9, 24, 13);
    m_date = new QDateEdit(m_content);
    m_date->setDisplayFormat(kDateFormat);
    m_date->setCalendarPopup(true);
    m_date->setMinimumDate(QDate(1601, 1, 1));
    m_date->setMaximumDate(QDate(9999, 12, 31));
    named(m_date, kDateId, 35, 9, 66, 14);
    // The tide name and moon of the trip date, shown only (nothing stores them), beside the
    // button that fills the tide times.
    auto* moonLabel = new QLabel(m_content);
    // Below the port box and beside the button, with room for its two lines.
    named(moonLabel, kMoonId, 63, 125, 43, 14);
    moonLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Its two lines must stand whole between the port box and the note below: where the dialog
    // font's lines are too tall for that, the label's own font is a little smaller.
    QFont moonFont = moonLabel->font();
    const auto fits = [moonLabel](const QFont& font) {
        const QRect needed = QFontMetrics(font).boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop,
                                                             QStringLiteral("若潮\n月齢 29.9"));
        return needed.height() <= moonLabel->height() && needed.width() <= moonLabel->width();
    };
    while (!fits(moonFont) && moonFont.pointSizeF() > 6)
        moonFont.setPointSizeF(moonFont.pointSizeF() - 0.5);
    moonLabel->setFont(moonFont);
    const auto showMoon = [moonLabel](QDate date) {
        const CMoonDay moon = MoonDayOf(date.year(), date.month(), date.day());
        moonLabel->setText(QStringLiteral("%1\n月齢 %2")
                               .arg(QStringFromStd(moon.tideName))
                               .arg(moon.age, 0, 'f', 1));
    };
    connect(m_date, &QDateEdit::dateChanged, moonLabel, showMoon);
    showMoon(m_date->date());
    label("天候：", 11, 28, 24, 13);
    m_weather = combo(kWeatherId, 35, 29, 66);
    label("狙い：", 11, 45, 21, 13);
    m_target = combo(kTargetId, 34, 47, 67);
    label("水温：", 11, 64, 21, 13);
    m_water = lineEdit(kWaterTempId, 33, 65, 21, 12);
    label("℃", 58, 65, 21, 13);
    label("満潮：", 10, 81, 21, 13);
    m_highTide = lineEdit(kHighTideId, 33, 81, 72, 12);
    label("干潮：", 10, 97, 21, 13);
    m_ebbTide = lineEdit(kEbbTideId, 33, 97, 72, 13);
    CreateTideControls(units);
    label("場所：", 111, 9, 24, 13);
    m_place = lineEdit(kPlaceId, 136, 9, 156, 14);
    QPushButton* addPlace = button("画像追加", kAddPlacePhotoId, 228, 25, 31, 13);
    QPushButton* removePlace = button("画像削除", kRemovePlacePhotoId, 261, 25, 31, 13);
    CreatePositionControls(units);
    m_placePhotoList = new CHitIconListCtrl(m_content);
    named(m_placePhotoList, kPlacePhotoListId, 110, 40, 182, 97);
    label("釣り方：", 10, 148, 23, 13);
    m_method = new QPlainTextEdit(m_content);
    named(m_method, kMethodId, 36, 150, 107, 46);
    label("メモ：", 147, 149, 18, 13);
    m_memo = new QPlainTextEdit(m_content);
    named(m_memo, kMemoId, 167, 148, 120, 52);
    for (QPlainTextEdit* edit : {m_method, m_memo}) {
        edit->setTabChangesFocus(true);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        LimitPlainTextEdit(edit, kMaxTextBytes);
    }

    label("釣果データ：", 10, 200, 44, 9);
    label("魚種名：", 11, 214, 26, 9);
    m_species = combo(kSpeciesId, 38, 212, 49);
    label("体長：", 93, 214, 18, 9);
    m_length = lineEdit(kLengthId, 113, 212, 26, 11);
    label("重さ：", 142, 214, 18, 9);
    m_weight = lineEdit(kWeightId, 160, 212, 24, 11);
    m_recordLabel = new QLabel(m_content);
    named(m_recordLabel, kRecordId, 188, 213, 60, 10);
    m_recordLabel->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    label("釣れた時間：", 10, 231, 41, 9);
    m_hour = lineEdit(kHourId, 52, 230, 20, 11);
    m_hourSpin = new CUpDownCtrl(m_content);
    named(m_hourSpin, kHourSpinId, 73, 230, 11, 11);
    label("時", 87, 232, 10, 9);
    m_minute = lineEdit(kMinuteId, 99, 230, 20, 11);
    m_minuteSpin = new CUpDownCtrl(m_content);
    named(m_minuteSpin, kMinuteSpinId, 120, 230, 10, 11);
    label("分", 134, 231, 13, 9);
    QPushButton* registerCatch = button("登録", kRegisterCatchId, 225, 228, 31, 13);
    QPushButton* removeCatch = button("削除", kRemoveCatchId, 260, 228, 31, 13);
    m_catchList = new CHitListCtrl(m_content);
    named(m_catchList, kCatchListId, 9, 244, 282, 65);
    label("関連画像：", 10, 315, 44, 9);
    QPushButton* addFish = button("魚画像追加", kAddFishPhotoId, 221, 311, 36, 13);
    QPushButton* removeFish = button("画像削除", kRemoveFishPhotoId, 260, 311, 31, 13);
    m_fishPhotoList = new CHitIconListCtrl(m_content);
    named(m_fishPhotoList, kFishPhotoListId, 10, 329, 281, 86);
    m_captureNote = new QLabel(m_content);
    named(m_captureNote, kCaptureNoteId, 56, 315, 163, 9);
    // Only changes made once the dialog is up are the user's: the opening date is not.
    connect(m_date, &QDateEdit::dateChanged, this, [this] {
        if (isVisible() && !m_settingDateFromPhotos) m_dateChangedByUser = true;
    });
    QPushButton* ok = button("登録", kOkId, 89, 422, 50, 14);
    ok->setDefault(true);
    QPushButton* cancel = button("ｷｬﾝｾﾙ", kCancelId, 146, 422, 50, 14);

    connect(ok, &QPushButton::clicked, this, &CCatchEntryDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CCatchEntryDlg::reject);
    connect(registerCatch, &QPushButton::clicked, this, &CCatchEntryDlg::OnRegisterCatch);
    connect(removeCatch, &QPushButton::clicked, this, &CCatchEntryDlg::OnRemoveCatch);
    connect(addPlace, &QPushButton::clicked, this, [this] { OnAddPhotos(true); });
    connect(addFish, &QPushButton::clicked, this, [this] { OnAddPhotos(false); });
    connect(removePlace, &QPushButton::clicked, this, [this] { OnRemovePhoto(true); });
    connect(removeFish, &QPushButton::clicked, this, [this] { OnRemovePhoto(false); });
    connect(m_placePhotoList, &QListWidget::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) m_selectedPlacePhoto = index.row();
    });
    for (QListWidget* list : {static_cast<QListWidget*>(m_placePhotoList),
                              static_cast<QListWidget*>(m_fishPhotoList)}) {
        list->viewport()->installEventFilter(this);
    }
    m_hourSpin->SetBuddy(m_hour);
    m_minuteSpin->SetBuddy(m_minute);

    // Enter starts a line in the two multi-line fields and saves from the others (the default
    // button); Ctrl+Enter saves from anywhere.
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, &CCatchEntryDlg::accept);
    }
    ok->setToolTip(QStringLiteral("登録 (Ctrl+Enter)"));
    cancel->setToolTip(QStringLiteral("ｷｬﾝｾﾙ (Esc)"));

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(m_content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    FitToScreen(content);
}

void CCatchEntryDlg::FitToScreen(const QSize& content)
{
    setMaximumSize(content);
    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(content);
        return;
    }
    // The window manager's title bar and borders are not known before the dialog is shown;
    // leave room for a generous one.
    const QSize frame(16, 48);
    const QSize room = screen->availableGeometry().size() - frame;
    resize(content.boundedTo(room));
    setMinimumSize(QSize(200, 200).boundedTo(size()));
}

bool CCatchEntryDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (watched == m_placePhotoList->viewport()) {
                OnOpenPhoto(m_placePhotoList, m_placePhotoPaths, mouse->position().toPoint());
            } else if (watched == m_fishPhotoList->viewport()) {
                OnOpenPhoto(m_fishPhotoList, m_fishPhotoPaths, mouse->position().toPoint());
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CCatchEntryDlg::InitDialog()
{
    m_hourSpin->SetRange(0, 24);
    m_minuteSpin->SetRange(0, 60);
    m_length->setText(QStringLiteral("0"));
    m_weight->setText(QStringLiteral("0"));

    m_catchList->setColumnCount(4);
    m_catchList->setHorizontalHeaderLabels({QStringLiteral("魚名"), QStringLiteral("体長(cm)"),
                                            QStringLiteral("重さ(kg)"),
                                            QStringLiteral("釣れた時間")});
    const int widths[] = {80, 80, 100, 100};
    for (int column = 0; column < 4; ++column) m_catchList->setColumnWidth(column, widths[column]);

    m_weather->addItems({QStringLiteral("晴れ"), QStringLiteral("曇り"), QStringLiteral("雨")});
    m_weather->setCurrentIndex(-1);

    const CDate today = GetCurrentDate();
    const QDate date(today.year, today.month, today.day);
    if (date.isValid()) m_date->setDate(date);

    if (m_position < 0) {
        FillSpeciesCombos(false);
        return;
    }
    InitExistingTrip();
}

void CCatchEntryDlg::InitExistingTrip()
{
    CTripRecord trip;
    const CStoreResult result = m_store.ReadTrip(m_position, trip);
    if (!result.ok()) {
        // The dialog stays open but empty; saving it is refused, so the trip is never
        // overwritten by fields that were never filled.
        ShowMessageBox(this, QStringFromStd(DescribeStoreResult(result, m_store.GetPath())),
                       EMessageBoxIcon::Warning);
        return;
    }
    m_original = trip;
    m_originalRead = true;
    FillControls(trip);
}

void CCatchEntryDlg::FillControls(const CTripRecord& trip)
{
    m_place->setText(QStringFromStd(trip.place));
    m_memo->setPlainText(QStringFromStd(trip.memo));
    m_method->setPlainText(QStringFromStd(trip.method));

    // A date that is no full date (a log written by other means) cannot be shown by the picker:
    // saving would put today's date in its place, so the user hears of it first.
    CDateText read;
    const QDate stored = ReadDateText(trip.date, read) == EDateError::None && read.day != 0
                             ? QDate(read.year, read.month, read.day)
                             : QDate();
    if (stored.isValid() && stored >= m_date->minimumDate() && stored <= m_date->maximumDate()) {
        m_date->setDate(stored);
    } else {
        ShowMessageBox(this,
                       QStringLiteral("この釣行の日付「%1」は日付として読めないため、"
                                      "日付欄には今日の日付を入れています。\n"
                                      "正しい日付にしてから登録してください。")
                           .arg(QStringFromStd(trip.date)),
                       EMessageBoxIcon::Warning);
    }

    if (!trip.weather.empty()) SelectStoredText(m_weather, trip.weather);
    m_water->setText(QStringFromStd(trip.water));
    m_highTide->setText(QStringFromStd(trip.highTide));
    m_ebbTide->setText(QStringFromStd(trip.ebbTide));

    for (size_t i = 0; i < trip.catches.size(); ++i) {
        AppendCatchRow(static_cast<int>(i), trip.catches[i]);
    }

    m_fishPhotoPaths = ToQt(trip.fishPhotos);
    m_placePhotoPaths = ToQt(trip.placePhotos);
    RebuildPhotoList(false, kOpenCapacity);
    RebuildPhotoList(true, kOpenCapacity);

    FillSpeciesCombos(true);
    if (!trip.fishname.empty()) SelectStoredText(m_target, trip.fishname);
}

void CCatchEntryDlg::FillSpeciesCombos(bool selectFirstSpecies)
{
    std::vector<std::string> entries;
    ReadSpeciesList(m_folder, entries);
    for (const std::string& entry : entries) {
        // Shown without the line feed the entry keeps from the file; the trip stores what is
        // shown, so the statistics compare names as the combo gives them.
        const QString name = QStringFromStd(SpeciesDisplayText(entry));
        m_target->addItem(name);
        m_species->addItem(name);
    }
    m_target->setCurrentIndex(-1);
    m_target->setEditText(QString());
    m_species->setCurrentIndex(selectFirstSpecies && m_species->count() > 0 ? 0 : -1);
    if (m_species->currentIndex() < 0) m_species->setEditText(QString());
}

// ---- catches ---------------------------------------------------------------------------------

bool CCatchEntryDlg::ReadNumber(QLineEdit* edit, const QString& fieldName, int places,
                                std::string& value)
{
    int64_t thousandths = 0;
    const EDecimalError error =
        ParseDecimalInput(StdFromQString(edit->text()), places, kMaxNumber, thousandths);
    if (error == EDecimalError::None) {
        value = FormatThousandths(thousandths);
        return true;
    }
    const QString text = QStringFromStd(
        DescribeDecimalError(error, StdFromQString(fieldName), places, kMaxNumber) + "。");
    ShowMessageBox(this, text, EMessageBoxIcon::Warning);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool CCatchEntryDlg::ValidateNumbers(std::string& length, std::string& weight)
{
    // Lengths in millimetres, weights in grams: what a scale or a measure shows.
    return ReadNumber(m_length, QStringLiteral("体長"), 1, length) &&
           ReadNumber(m_weight, QStringLiteral("重さ"), 3, weight);
}

void CCatchEntryDlg::AppendCatchRow(int row, const CCatchRecord& caught)
{
    m_catchList->insertRow(row);
    const std::string* texts[] = {&caught.name, &caught.height, &caught.weight, &caught.time};
    for (int column = 0; column < 4; ++column) {
        m_catchList->setItem(row, column, new QTableWidgetItem(QStringFromStd(*texts[column])));
    }
}

void CCatchEntryDlg::OnRegisterCatch()
{
    AddTypedCatch();
}

QStringList CCatchEntryDlg::CatchFieldTexts() const
{
    return {m_species->currentText(), m_length->text(), m_weight->text(), m_hour->text(),
            m_minute->text()};
}

bool CCatchEntryDlg::HasTypedCatch() const
{
    return CatchFieldTexts() != m_typedCatchBaseline;
}

bool CCatchEntryDlg::AddTypedCatch()
{
    const QString species = m_species->currentText();
    if (species.trimmed().isEmpty()) {
        ShowMessageBox(this, QStringLiteral("釣果を登録するには魚種名を入力してください。"),
                       EMessageBoxIcon::Warning);
        m_species->setFocus();
        return false;
    }
    CCatchRecord caught;
    if (!ValidateNumbers(caught.height, caught.weight)) return false;
    caught.name = Cut(species);
    caught.time =
        Cut(m_hour->text() + QStringLiteral("時") + m_minute->text() + QStringLiteral("分"));
    AppendCatchRow(0, caught);
    // The fields keep their values for the next catch, which is only one once they change.
    m_typedCatchBaseline = CatchFieldTexts();
    ShowWhetherRecordBroken();
    return true;
}

void CCatchEntryDlg::ShowWhetherRecordBroken()
{
    // Measured against the saved file only: catches still in this dialog are not yet records.
    const std::string date = StdFromQString(m_date->date().toString(kDateFormat));
    const std::vector<CCatchRecord> catches = GetTripFromControls().catches;
    bool broken = false;
    m_store.ReadTrips([&](const std::vector<CTripRecord>& trips) {
        const auto bests = FindPersonalBests(trips);
        for (const CCatchRecord& caught : catches) {
            const auto best = bests.find(caught.name);
            if (best == bests.end()) continue;
            const CTripRecord& holder = trips[best->second.trip];
            broken =
                broken || RanksAbove(caught, date, holder.catches[best->second.fish], holder.date);
        }
    });
    m_recordLabel->setText(broken ? QStringLiteral("自己記録更新") : QString());
}

void CCatchEntryDlg::OnRemoveCatch()
{
    const int row = m_catchList->GetHitItem();
    if (row < 0 || row >= m_catchList->rowCount()) return;
    m_catchList->removeRow(row);
    ShowWhetherRecordBroken();
}

// ---- photos ----------------------------------------------------------------------------------

void CCatchEntryDlg::OnAddPhotos(bool place)
{
    const QStringList picked = GetOpenPhotoFileNames(this, QStringLiteral("ファイルを開く"));
    QStringList added;
    QStringList tooLong;
    QStringList& paths = place ? m_placePhotoPaths : m_fishPhotoPaths;
    for (const QString& path : picked) {
        // A longer path would come back cut from the catch file and name no file.
        if (Cp932Length(path) > static_cast<int>(CPhotoCopies::kMaxPathBytes)) {
            tooLong << path;
            continue;
        }
        paths << path;
        added << path;
    }
    FillFromCaptureTimes(place, added);
    if (!tooLong.isEmpty()) {
        ShowMessageBox(this,
                       QStringLiteral("次の画像はパス名が長すぎるため追加できません。\n") +
                           tooLong.join(QLatin1Char('\n')),
                       EMessageBoxIcon::Warning);
    }
    RebuildPhotoList(place, kRebuildCapacity);
}

// Fields the user left as they were take the photos' capture times: the catch time (both fields
// empty) from the first fish photo that has one, a new trip's date from the earliest photo.  What
// was filled is said in the note, so nothing changes unseen.
void CCatchEntryDlg::FillFromCaptureTimes(bool place, const QStringList& added)
{
    const bool fillTime = !place && m_hour->text().isEmpty() && m_minute->text().isEmpty();
    const bool fillDate = m_position < 0 && !m_dateChangedByUser;
    if (!fillTime && !fillDate) return;
    CCaptureTime first;
    CCaptureTime earliest;
    for (const QString& path : added) {
        const CCaptureTime captured = ReadPhotoCaptureTime(PathFromQString(path));
        if (!captured.valid()) continue;
        if (!first.valid()) first = captured;
        if (!earliest.valid() || captured < earliest) earliest = captured;
    }
    QStringList filled;
    const QDate date(earliest.year, earliest.month, earliest.day);
    if (fillDate && date.isValid() && date >= m_date->minimumDate() &&
        date <= m_date->maximumDate()) {
        // A date taken from earlier photos gives way only to an earlier one.
        if (!m_dateFromPhotos || date < m_date->date()) {
            m_settingDateFromPhotos = true;
            m_date->setDate(date);
            m_settingDateFromPhotos = false;
            m_dateFromPhotos = true;
        }
        filled << QStringLiteral("日付");
    }
    if (fillTime && first.valid()) {
        m_hour->setText(QString::number(first.hour));
        m_minute->setText(QString::number(first.minute));
        // Filled by the program, not typed: no catch is being entered because of it.
        m_typedCatchBaseline[3] = m_hour->text();
        m_typedCatchBaseline[4] = m_minute->text();
        filled << QStringLiteral("時・分");
    }
    if (filled.isEmpty()) return;
    m_captureNote->setText(QStringLiteral("写真の撮影日時から入力しました（%1）")
                               .arg(filled.join(QStringLiteral("、"))));
}

void CCatchEntryDlg::OnRemovePhoto(bool place)
{
    const int index = place ? m_selectedPlacePhoto : m_fishPhotoList->GetHitItem();
    QStringList& paths = place ? m_placePhotoPaths : m_fishPhotoPaths;
    if (index < 0 || index >= paths.size()) return;
    m_removedPhotoPaths << paths.takeAt(index);
    RebuildPhotoList(place, kRebuildCapacity);
}

void CCatchEntryDlg::OnOpenPhoto(QListWidget* list, const QStringList& paths, const QPoint& at)
{
    const QModelIndex index = list->indexAt(at);
    if (!index.isValid() || index.row() >= paths.size()) return;
    OpenFileWithDesktop(paths[index.row()]);
}

void CCatchEntryDlg::RebuildPhotoList(bool place, int capacity)
{
    QListWidget* list = place ? static_cast<QListWidget*>(m_placePhotoList)
                              : static_cast<QListWidget*>(m_fishPhotoList);
    BuildThumbnails(list, place ? m_placePhotoPaths : m_fishPhotoPaths, capacity,
                    EThumbnailPlacement::SingleRow);
    OnPhotosChanged();
}

// ---- tides -----------------------------------------------------------------------------------

void CCatchEntryDlg::CreateTideControls(const CDialogUnits& units)
{
    auto* label = new QLabel(QStringLiteral("港："), m_content);
    units.Place(label, 10, 113, 21, 13);
    m_tidePort = new CTidePortCombo(m_tideStations, m_content);
    m_tidePort->setObjectName(QString::number(kTidePortId));
    units.Place(m_tidePort, 33, 111, 72, 13);
    m_fillTides = new QPushButton(QStringLiteral("潮汐を入れる"), m_content);
    m_fillTides->setObjectName(QString::number(kFillTidesId));
    m_fillTides->setAutoDefault(false);
    m_fillTides->setToolTip(
        QStringLiteral("この日のこの港の満潮・干潮の時刻を入れます（入力済みの欄はそのまま）"));
    units.Place(m_fillTides, 10, 125, 50, 12);
    m_tideNote = new QLabel(m_content);
    m_tideNote->setObjectName(QString::number(kTideNoteId));
    units.Place(m_tideNote, 10, 139, 282, 9);

    connect(m_tidePort, &CTidePortCombo::portChosen, this, [this] {
        m_tidePortChosenByUser = true;
        m_tidePortOrigin = QString();
        OnTideInputsChanged();
    });
    connect(m_fillTides, &QPushButton::clicked, this, [this] { FillTides(false); });
    connect(m_date, &QDateEdit::dateChanged, this, [this] { OnTideInputsChanged(); });
}

void CCatchEntryDlg::InitTidePort()
{
    m_fillTides->setEnabled(!m_tideStations.Shown().empty());
    // Read once: the default follows the place as it is typed.  A damaged file is named when
    // the trip is saved (it is not written then); until then what could be read serves.
    m_placeBook.Load(m_folder);
    connect(m_place, &QLineEdit::textChanged, this, [this] {
        ShowPlacePosition();
        if (!m_initialising) ChooseDefaultTidePort();
    });
    ReadPhotoPosition();
    ShowPlacePosition();
    ChooseDefaultTidePort();
    // A new trip opens with the tides of today at its port; a stored trip keeps what it has
    // until its date or port is changed.
    if (m_position < 0) FillTides(true);
    ShowTideNote();
}

void CCatchEntryDlg::OnPhotosChanged()
{
    if (m_initialising) return;
    ReadPhotoPosition();
    ShowPlacePosition();
    ChooseDefaultTidePort();
}

void CCatchEntryDlg::ReadPhotoPosition()
{
    m_hasPhotoPosition = false;
    // The first photo that has a position counts; a few files are enough to find it.
    constexpr int kPhotosLooked = 10;
    int looked = 0;
    for (const QStringList* paths : {&m_placePhotoPaths, &m_fishPhotoPaths}) {
        for (const QString& path : *paths) {
            if (++looked > kPhotosLooked) break;
            const CExifFacts facts = ReadPhotoExifFacts(PathFromQString(path));
            if (!facts.hasPosition) continue;
            m_hasPhotoPosition = true;
            m_photoLatitude = facts.latitude;
            m_photoLongitude = facts.longitude;
            break;
        }
        if (m_hasPhotoPosition) break;
    }
}

void CCatchEntryDlg::ChooseDefaultTidePort()
{
    if (m_tidePortChosenByUser || m_tideStations.Shown().empty()) return;
    EPositionSource positionSource = EPositionSource::None;
    const std::optional<CGeoPoint> position = CurrentPosition(&positionSource);
    // A position set here is newer than the port last used for the place: the port follows it.
    const std::string place =
        m_newPosition ? std::string() : StdFromQString(m_place->text().trimmed());
    const CTidePortDefault chosen =
        ChooseTidePort(m_tideStations, m_placeBook.Ports(), place,
                       {position.has_value(), position ? position->latitude : 0,
                        position ? position->longitude : 0});
    switch (chosen.source) {
        case ETidePortSource::Place:
            m_tidePortOrigin = QStringLiteral("この場所で前回使った港");
            break;
        case ETidePortSource::Photo:
            m_tidePortOrigin = (positionSource == EPositionSource::Photo
                                    ? QStringLiteral("写真の撮影位置から %1 km の港")
                                    : QStringLiteral("場所の位置から %1 km の港"))
                                   .arg(chosen.km, 0, 'f', 1);
            break;
        case ETidePortSource::Home:
            m_tidePortOrigin = QStringLiteral("潮汐の基準港");
            break;
        case ETidePortSource::None:
            m_tidePortOrigin = QStringLiteral("未設定（環境設定で基準港を選べます）");
            break;
    }
    const std::string before = m_tidePort->PortId();
    m_tidePort->SetPortId(chosen.station ? chosen.station->id : std::string());
    if (m_tidePort->PortId() != before) {
        OnTideInputsChanged();
    } else {
        ShowTideNote();
    }
}

void CCatchEntryDlg::OnTideInputsChanged()
{
    if (m_initialising) return;
    FillTides(true);
    ShowTideNote();
}

void CCatchEntryDlg::FillTides(bool automatic)
{
    const CTideStation* port = m_tideStations.FindById(m_tidePort->PortId());
    if (port == nullptr) return;
    // A field is the dialog's own while it is empty or holds what the dialog put there; what
    // the user typed is never replaced.
    const auto own = [](const QLineEdit* edit, const QString& filled) {
        return edit->text().isEmpty() || (!filled.isNull() && edit->text() == filled);
    };
    bool fillHigh = own(m_highTide, m_filledHigh);
    bool fillLow = own(m_ebbTide, m_filledLow);
    if (automatic && !(fillHigh && fillLow)) {
        // By itself the dialog fills only when both fields are its own; times it put there
        // earlier still follow the date and the port, so they never tell another day's tide.
        fillHigh = fillHigh && !m_highTide->text().isEmpty();
        fillLow = fillLow && !m_ebbTide->text().isEmpty();
        if (!fillHigh && !fillLow) return;
    }
    const QDate date = m_date->date();
    const CTideDayTexts texts = DayTideTexts(*port, date.year(), date.month(), date.day());
    if (fillHigh) {
        m_filledHigh = QStringFromStd(texts.high);
        m_highTide->setText(m_filledHigh);
    }
    if (fillLow) {
        m_filledLow = QStringFromStd(texts.low);
        m_ebbTide->setText(m_filledLow);
    }
    const QString where = QStringFromStd(port->nameJa);
    if (fillHigh && fillLow) {
        m_fillNote = automatic
                         ? QStringLiteral("満潮・干潮は%1の潮汐から自動で入れました").arg(where)
                         : QStringLiteral("満潮・干潮に%1の潮汐を入れました").arg(where);
    } else if (fillHigh || fillLow) {
        m_fillNote = QStringLiteral("%1に%2の潮汐を入れました（入力済みの%3はそのまま）")
                         .arg(fillHigh ? QStringLiteral("満潮") : QStringLiteral("干潮"), where,
                              fillHigh ? QStringLiteral("干潮") : QStringLiteral("満潮"));
    } else {
        m_fillNote = QStringLiteral("満潮・干潮は入力済みのため変えていません");
    }
    ShowTideNote();
}

void CCatchEntryDlg::ShowTideNote()
{
    // Without a port the button has nothing to fill in.
    m_fillTides->setEnabled(m_tideStations.FindById(m_tidePort->PortId()) != nullptr);
    QStringList parts;
    if (!m_tidePortOrigin.isEmpty()) parts << QStringLiteral("港: ") + m_tidePortOrigin;
    if (!m_fillNote.isEmpty()) parts << m_fillNote;
    m_tideNote->setText(parts.join(QStringLiteral("　")));
}

CPlaceFacts CCatchEntryDlg::GetPlaceFactsFromControls() const
{
    CPlaceFacts facts;
    facts.place = StdFromQString(m_place->text().trimmed());
    facts.portId = m_tidePort->PortId();
    if (m_newPosition) {
        facts.position = m_newPosition;
        facts.source = m_newPositionSource;
        facts.overwrite = m_replaceAgreed;
    } else if (m_hasPhotoPosition) {
        facts.position = CGeoPoint{m_photoLatitude, m_photoLongitude};
        facts.source = EPositionSource::Photo;
    }
    return facts;
}

void CCatchEntryDlg::KeepTidePortForPlace()
{
    std::string error;
    if (KeepPlaceFacts(m_folder, &m_tideStations, {GetPlaceFactsFromControls()}, error)) return;
    ShowMessageBox(this,
                   QStringLiteral("釣行データは登録しましたが、この場所の港と位置を記録できません"
                                  "でした。\n%1")
                       .arg(QStringFromStd(error)),
                   EMessageBoxIcon::Warning);
}

// ---- the place's position --------------------------------------------------------------------

namespace {

CCatchEntryDlg::CPlacePicker& PlacePicker()
{
    static CCatchEntryDlg::CPlacePicker picker;
    return picker;
}

}  // namespace

void CCatchEntryDlg::SetPlacePicker(CPlacePicker picker)
{
    PlacePicker() = std::move(picker);
}

void CCatchEntryDlg::CreatePositionControls(const CDialogUnits& units)
{
    // In the free part of the row of the place photos' buttons, under 場所: the photo list keeps
    // its place.
    m_placePosition = new QLineEdit(m_content);
    m_placePosition->setObjectName(QString::number(kPlacePositionId));
    m_placePosition->setPlaceholderText(QStringLiteral("位置なし"));
    units.Place(m_placePosition, 110, 25, 72, 13);
    m_pickOnMap = new QPushButton(QStringLiteral("地図で選ぶ..."), m_content);
    m_pickOnMap->setObjectName(QString::number(kPickOnMapId));
    m_pickOnMap->setAutoDefault(false);
    m_pickOnMap->setEnabled(static_cast<bool>(PlacePicker()));
    units.Place(m_pickOnMap, 184, 25, 42, 13);
    connect(m_placePosition, &QLineEdit::editingFinished, this, [this] { OnPositionTyped(); });
    connect(m_pickOnMap, &QPushButton::clicked, this, [this] { OnPickOnMap(); });
}

std::optional<CGeoPoint> CCatchEntryDlg::CurrentPosition(EPositionSource* source) const
{
    EPositionSource found = EPositionSource::None;
    std::optional<CGeoPoint> position;
    if (m_newPosition) {
        position = m_newPosition;
        found = m_newPositionSource;
    } else if (const CPlaceInfo* place = m_placeBook.Find(StdFromQString(m_place->text()));
               place != nullptr && place->hasPosition) {
        position = place->position;
        found = place->source;
    } else if (m_hasPhotoPosition) {
        position = CGeoPoint{m_photoLatitude, m_photoLongitude};
        found = EPositionSource::Photo;
    }
    if (source != nullptr) *source = found;
    return position;
}

void CCatchEntryDlg::ShowPlacePosition()
{
    EPositionSource source = EPositionSource::None;
    const std::optional<CGeoPoint> position = CurrentPosition(&source);
    m_placePosition->setText(position ? QStringFromStd(FormatCoordinateText(*position))
                                      : QString());
    // The degrees first: a text longer than the field would otherwise show only its end.
    m_placePosition->setCursorPosition(0);
    // Where it came from, with how to give another.
    QString tip = QStringLiteral("場所の位置");
    if (position)
        tip += QStringLiteral("（%1）").arg(QString::fromUtf8(PositionSourceLabel(source)));
    m_placePosition->setToolTip(
        tip + QStringLiteral("：緯度・経度（35.6581, 139.7414 や 35°39'29\"N 139°47'E）か、"
                             "地図のリンク（Google マップ、OpenStreetMap、地理院地図）を入れます"));
}

void CCatchEntryDlg::OnPositionTyped()
{
    const QString typed = m_placePosition->text().trimmed();
    const std::optional<CGeoPoint> current = CurrentPosition();
    if (current && typed == QStringFromStd(FormatCoordinateText(*current))) return;
    if (typed.isEmpty()) {
        // Emptied: a position set here is dropped; a kept one is not deleted from here.
        m_newPosition.reset();
        ShowPlacePosition();
        ChooseDefaultTidePort();
        return;
    }
    CGeoPoint point;
    if (!ParseCoordinateText(StdFromQString(typed), point)) {
        ShowPlacePosition();
        ShowMessageBox(this,
                       QStringLiteral("「%1」を位置として読み取れません。\n緯度・経度"
                                      "（例: 35.6581, 139.7414）か地図のリンクを入れてください。")
                           .arg(typed),
                       EMessageBoxIcon::Warning);
        return;
    }
    TakeNewPosition(point, EPositionSource::Typed);
}

void CCatchEntryDlg::OnPickOnMap()
{
    const CPlacePicker& picker = PlacePicker();
    if (!picker) return;
    const std::optional<CGeoPoint> picked =
        picker(this, m_place->text().trimmed(), CurrentPosition());
    if (picked && IsValidGeoPoint(*picked)) TakeNewPosition(*picked, EPositionSource::Map);
}

bool CCatchEntryDlg::TakeNewPosition(const CGeoPoint& point, EPositionSource source)
{
    const CPlaceInfo* place = m_placeBook.Find(StdFromQString(m_place->text()));
    const bool userSet = place != nullptr && place->hasPosition &&
                         place->source != EPositionSource::Photo && place->position != point;
    if (userSet && !m_replaceAgreed) {
        const auto answer = ShowMessageBox(
            this,
            QStringLiteral("「%1」には位置 %2 が設定されています。%3 に置き換えますか？")
                .arg(QStringFromStd(place->name),
                     QStringFromStd(FormatCoordinateText(place->position)),
                     QStringFromStd(FormatCoordinateText(point))),
            EMessageBoxIcon::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            ShowPlacePosition();
            return false;
        }
        m_replaceAgreed = true;
    }
    m_newPosition = point;
    m_newPositionSource = source;
    m_tidePortChosenByUser = false;
    ShowPlacePosition();
    ChooseDefaultTidePort();
    return true;
}

// ---- saving ----------------------------------------------------------------------------------

CTripRecord CCatchEntryDlg::GetTripFromControls() const
{
    CTripRecord trip;
    trip.fishname = Cut(m_target->currentText());
    trip.weather = Cut(m_weather->currentText());
    trip.date = StdFromQString(m_date->date().toString(kDateFormat));
    trip.water = Cut(m_water->text());
    trip.highTide = Cut(m_highTide->text());
    trip.ebbTide = Cut(m_ebbTide->text());
    trip.method = Cut(m_method->toPlainText());
    trip.place = Cut(m_place->text());
    trip.memo = Cut(m_memo->toPlainText());
    trip.placePhotos = ToStd(m_placePhotoPaths);
    trip.fishPhotos = ToStd(m_fishPhotoPaths);
    for (int row = 0; row < m_catchList->rowCount(); ++row) {
        const auto cell = [&](int column) {
            const QTableWidgetItem* item = m_catchList->item(row, column);
            return item ? Cut(item->text()) : std::string();
        };
        trip.catches.push_back({cell(0), cell(1), cell(2), cell(3)});
    }
    return trip;
}

void CCatchEntryDlg::EditDraft(const CTripRecord& trip, CDraftFinished finished)
{
    m_initialising = true;
    m_target->clear();
    m_species->clear();
    FillControls(trip);
    // The draft's photos say where it was, as a stored trip's photos do when it is opened.
    ReadPhotoPosition();
    ShowPlacePosition();
    ChooseDefaultTidePort();
    m_initialising = false;
    m_draftFinished = std::move(finished);
    m_baseline = GetTripFromControls();
    m_typedCatchBaseline = CatchFieldTexts();
}

void CCatchEntryDlg::accept()
{
    if (m_closing) return;
    // A catch typed but not yet added belongs to the trip as well: it is added first, and one
    // that cannot be added holds the trip back with the reason, so nothing typed is lost.
    if (HasTypedCatch() && !AddTypedCatch()) return;
    CTripRecord trip = GetTripFromControls();
    if (m_draftFinished) {
        // A draft goes back to whoever saves it, with everything else it belongs with.
        m_draftFinished(trip, GetPlaceFactsFromControls());
        Finish(ECatchEntryResult::Saved);
        return;
    }
    if (!SaveTrip(std::move(trip))) return;
    KeepTidePortForPlace();
    Finish(ECatchEntryResult::Saved);
}

bool CCatchEntryDlg::HasChanges() const
{
    return HasTypedCatch() || !(GetTripFromControls() == m_baseline);
}

bool CCatchEntryDlg::SaveChanges()
{
    accept();
    return m_closing;
}

void CCatchEntryDlg::DiscardChanges()
{
    if (m_closing) return;
    Finish(ECatchEntryResult::Cancelled);
}

void CCatchEntryDlg::reject()
{
    if (m_closing) return;
    if (!HasChanges()) {
        DiscardChanges();
        return;
    }
    switch (AskToSaveChanges(this, QString())) {
        case QMessageBox::Save:
            SaveChanges();
            break;
        case QMessageBox::Discard:
            DiscardChanges();
            break;
        default:
            break;
    }
}

bool CCatchEntryDlg::SaveTrip(CTripRecord trip)
{
    const QString keep =
        QStringLiteral("\n\n登録できませんでした。入力内容はこの画面に残っています。");
    if (m_position >= 0 && !m_originalRead) {
        ShowMessageBox(this,
                       QStringLiteral("この釣行データは開いたときに読み込めなかったため、"
                                      "上書きできません。") +
                           keep,
                       EMessageBoxIcon::Warning);
        return false;
    }
    const CPhotoCopies copies(m_store.GetDataDir() + "Picture/");
    CTripSaver saver(m_store, copies);
    saver.SetCopyFunction([this, work = CopyTripPhotosWork(copies)](CTripRecord& copied) {
        return RunPhotoCopies(this, copied, work);
    });
    const CTripSaver::CReport report =
        m_position < 0 ? saver.SaveNew(std::move(trip))
                       : saver.SaveExisting(m_position, m_original, std::move(trip),
                                            ToStd(m_removedPhotoPaths));
    switch (report.outcome) {
        case CTripSaver::EOutcome::Saved:
            break;
        case CTripSaver::EOutcome::StoreFailed:
            ShowMessageBox(
                this, QStringFromStd(DescribeStoreResult(report.result, m_store.GetPath())) + keep,
                EMessageBoxIcon::Warning);
            return false;
        case CTripSaver::EOutcome::Cancelled:
            return false;  // the user stopped the copies; what was typed stays
        case CTripSaver::EOutcome::TripGone:
            ShowMessageBox(this,
                           QStringLiteral("この釣行データは、画面を開いた後に削除されたか別の画面で"
                                          "変更されたため、上書きできません。") +
                               keep,
                           EMessageBoxIcon::Warning);
            return false;
    }
    if (!report.failedCopies.empty()) {
        ShowMessageBox(this,
                       QStringLiteral("次の画像は Data/Picture/ にコピーできなかったため、"
                                      "元の場所のまま登録しました。\n") +
                           ToQt(report.failedCopies).join(QLatin1Char('\n')),
                       EMessageBoxIcon::Warning);
    }
    return true;
}

void CCatchEntryDlg::Finish(ECatchEntryResult result)
{
    m_closing = true;
    QPointer<CCatchEntryDlg> self(this);
    auto* owner = dynamic_cast<ICatchEntryOwner*>(m_owner);
    QObject* context = m_owner ? static_cast<QObject*>(m_owner) : static_cast<QObject*>(this);
    QMetaObject::invokeMethod(
        context,
        [self, owner, result] {
            if (!self) return;
            Q_EMIT self->closedWithResult(static_cast<int>(result));
            if (owner) {
                owner->OnCatchEntryClosed(self, result);
            } else {
                // Nobody to destroy it: close it here.
                self->hide();
                self->deleteLater();
            }
        },
        Qt::QueuedConnection);
}
