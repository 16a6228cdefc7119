#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "calendar/TideCurveChart.h"

// The memo dialog's picture of a day's tide at the home port: the curve drawn by DrawTideCurve,
// or a note when there is no port to draw.
class CTideCurveView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kId = 1003;

    explicit CTideCurveView(QWidget* parent = nullptr);

    void SetDay(const CTideCurveDay& day);
    void SetNote(const QString& note);

    const std::optional<CTideCurveDay>& Day() const { return m_day; }
    const QString& Note() const { return m_note; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<CTideCurveDay> m_day;
    QString m_note;
};
