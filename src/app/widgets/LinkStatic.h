#pragma once

#include <QColor>
#include <QLabel>
#include <QUrl>

// A static text that acts as a link: underlined, blue, orange while the pointer is over it, a
// hand cursor, and opened with the desktop's "open" when clicked.  A text without ":" is taken
// as a mail address.
class CLinkStatic : public QLabel {
    Q_OBJECT
public:
    static const QColor kNormalColour;  // blue
    static const QColor kHoverColour;   // orange

    explicit CLinkStatic(const QString& text = {}, QWidget* parent = nullptr);

    QColor GetLinkColour() const { return m_colour; }
    bool IsPressed() const { return m_pressed; }
    // The address opening the text gives: "mailto:" in front of texts without ":".
    static QString AddressFor(const QString& text);
    // Opens target instead of the text's address (a link worded for people).
    void SetTarget(const QUrl& target) { m_target = target; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetLinkColour(const QColor& colour);

    QColor m_colour = kNormalColour;
    QUrl m_target;
    bool m_pressed = false;
};
