#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;
class CCatchStore;
class CDataFolder;
struct CStoreResult;
class CDataView;
class CLankingListView;
class CConditionView;
class CPlaceStatsView;
class CTideStations;

// The statistics page: a bar with the year and species fields and the buttons "月別",
// "ランキング", "条件別", "場所別" and the hidden "天候別" on top, and below it the chart view, the
// ranking list or the charts of the catch conditions.  Every query reads the catch file afresh; the
// yearly report and the conditions take their tide ports from folder, which outlives the page.
class CDataViewFrame : public QWidget {
    Q_OBJECT
public:
    enum EViewKind { kChartView = 1, kRankingView = 2, kConditionView = 3, kPlaceView = 4 };
    static constexpr int kDialogBarId = 132;
    static constexpr int kYearComboId = 1015;
    static constexpr int kSpeciesComboId = 1016;
    static constexpr int kYearLabelId = 1017;
    static constexpr int kSpeciesLabelId = 1018;
    static constexpr int kMonthlyButtonId = 1003;
    static constexpr int kRankingButtonId = 1004;
    static constexpr int kWeatherButtonId = 1005;
    static constexpr int kYearReportButtonId = 1019;
    static constexpr int kConditionsButtonId = 1021;
    static constexpr int kPlacesButtonId = 1022;
    // The line under the bar that tells why nothing can be shown (hidden while all is well).
    static constexpr int kNoticeId = 1020;
    // The identifier the view below the bar carries.
    static constexpr int kFirstPaneId = 0xE900;

    CDataViewFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent = nullptr);

    // Replaces the view below the bar by a new one of kind (1 chart, 2 ranking list, 3 the
    // conditions' charts) unless that
    // kind is shown already.  Returns false when the switch failed; the old view stays then.
    bool SwitchStatView(int kind);
    int GetViewKind() const { return m_viewKind; }
    QWidget* GetView() const { return m_view; }
    // The current view as a chart view or ranking list; null when the other kind is shown.
    CDataView* GetDataView() const;
    CLankingListView* GetLankingListView() const;
    CConditionView* GetConditionView() const;
    CPlaceStatsView* GetPlaceStatsView() const;

    QWidget* GetDialogBar() const { return m_dialogBar; }
    QComboBox* GetYearCombo() const { return m_yearCombo; }
    QComboBox* GetSpeciesCombo() const { return m_speciesCombo; }

    void OnMonthlyStatistics();
    void OnRanking();
    void OnWeatherStatistics();
    // The catches of the year by the conditions they were caught in, for the species in the
    // species field or, when it is empty, for every species.
    void OnConditionStatistics();
    // 場所別: each place's catches and catches per day fished in the year, for the species in the
    // species field (every species when it is empty), with a map of the places.
    void OnPlaceStatistics();
    // The yearly report of the year in the year field, as a PDF file or on a printer; a field
    // that holds no year is told with a message.
    void OnYearReport();
    void OnPrintYearReport();

    // Reads the years and species of the catch file again into the two fields' lists (in file
    // order, nothing chosen), keeping what the fields show when keepTexts, so trips saved since
    // the page was made can be chosen.  A file that cannot be read leaves the lists empty and
    // is told in the notice line, naming the file and what is wrong with it.
    void RefreshFilterLists(bool keepTexts);
    QLabel* GetNotice() const { return m_notice; }
    // The tide stations the conditions are counted with (tests); null: the shipped ones.
    void SetTideStations(const CTideStations* stations) { m_tideStations = stations; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CreateDialogBar();
    QWidget* CreateView(int kind);
    void RestoreFilterTexts(const QString& year, const QString& species);
    void ReportStoreFailure(const CStoreResult& result);
    bool ChosenYear(int& year);
    // Tells in the notice line that the fields lack a year or a species; false when neither
    // is empty.
    bool TellEmptyFields(const QString& year, const QString& species);
    void ShowNotice(const QString& text);

    QVBoxLayout* m_layout = nullptr;
    QWidget* m_dialogBar = nullptr;
    QLabel* m_notice = nullptr;
    // What the notice says of the catch file, kept apart from what it says of the fields.
    QString m_fileNotice;
    QComboBox* m_yearCombo = nullptr;
    QComboBox* m_speciesCombo = nullptr;
    QWidget* m_view = nullptr;
    int m_viewKind = kChartView;
    CCatchStore& m_store;
    const CDataFolder& m_folder;
    const CTideStations* m_tideStations = nullptr;
};
