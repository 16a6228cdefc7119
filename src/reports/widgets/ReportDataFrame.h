#pragma once

#include <QWidget>

class CCatchStore;
class CDataFolder;
class CReportDataView;
class QLabel;
class QLineEdit;
class QPushButton;

// The page behind "データ登録": a bar with "新規登録", "削除", a search field (Ctrl+F) and a date
// range on top, and the trip list below, filtered as the user types.
// Works on its own (the main window only adds it to its page stack); the entry dialogs it opens
// read the species list and the tide ports of folder.
class CReportDataFrame : public QWidget {
    Q_OBJECT
public:
    CReportDataFrame(CCatchStore& store, const CDataFolder& folder, QWidget* parent = nullptr);

    CReportDataView* GetView() const { return m_view; }
    // Puts the focus in the search field with its words selected (Ctrl+F of the main window).
    void FocusSearch();
    QWidget* GetDialogBar() const { return m_bar; }

    static constexpr int kDialogBarId = 134;
    static constexpr int kNewTripId = 1032;
    static constexpr int kDeleteId = 1006;
    static constexpr int kFromPhotosId = 1033;
    static constexpr int kSearchId = 1050;
    static constexpr int kFromDateId = 1051;
    static constexpr int kToDateId = 1052;
    static constexpr int kDateWarningId = 1053;

private:
    void ApplyFilter();

    QWidget* m_bar;
    CReportDataView* m_view;
    QLineEdit* m_search;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLabel* m_dateWarning;
};
