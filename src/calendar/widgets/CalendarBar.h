#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;
class QPushButton;

// The calendar's dialog bar (template 103): the month title and five icon buttons that move a
// year back, a month back, to this month, a month on and a year on.  It sits docked on top of the
// calendar page with a border line at its bottom.
class CCalendarBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 103;
    static constexpr int kTitleId = 1001;
    static constexpr int kTodayId = 1002;
    static constexpr int kPrevMonthId = 1003;
    static constexpr int kPrevYearId = 1004;
    static constexpr int kNextMonthId = 1005;
    static constexpr int kNextYearId = 1006;

    // Icon resources of the buttons.
    static constexpr int kIconToday = 132;
    static constexpr int kIconNextMonth = 133;
    static constexpr int kIconPrevMonth = 134;
    static constexpr int kIconNextYear = 135;
    static constexpr int kIconPrevYear = 136;

    explicit CCalendarBar(QWidget* parent = nullptr);

    QLabel* TitleStatic() const { return m_title; }
    QString TitleText() const;
    void SetTitleText(const QString& title);
    QPushButton* Button(int id) const;

    // The pictures of the bar's buttons, drawn here rather than loaded.
    static QIcon LoadCalendarIcon(int resourceId);

Q_SIGNALS:
    void PrevYearClicked();
    void PrevMonthClicked();
    void TodayClicked();
    void NextMonthClicked();
    void NextYearClicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* AddButton(int id, int x, int y, int width, int height);

    QLabel* m_title = nullptr;
};
