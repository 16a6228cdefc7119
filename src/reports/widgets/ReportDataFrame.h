#pragma once

#include <QWidget>

class CCatchStore;
class CReportDataView;
class QPushButton;

// The page behind "データ登録": a bar with "新規登録" and "削除" on top and the trip list below.
// Works on its own (the main window only adds it to its page stack).
class CReportDataFrame : public QWidget {
    Q_OBJECT
public:
    explicit CReportDataFrame(CCatchStore& store, QWidget* parent = nullptr);

    CReportDataView* GetView() const { return m_view; }
    QWidget* GetDialogBar() const { return m_bar; }

    static constexpr int kDialogBarId = 134;
    static constexpr int kNewTripId = 1032;
    static constexpr int kDeleteId = 1006;

private:
    QWidget* m_bar;
    CReportDataView* m_view;
};
