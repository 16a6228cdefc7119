#pragma once

#include <QMap>
#include <QMenu>
#include <QPixmap>

class CBarMenuStyle;

// The bar's owner-drawn context menu: flat classic entries on the menu colour, the selected entry
// on the highlight colour, disabled entries embossed, and an image column for the commands that
// have one.
class CBarPopupMenu : public QMenu {
    Q_OBJECT

public:
    static constexpr int kImageWidth = 16;
    static constexpr int kImageHeight = 15;

    explicit CBarPopupMenu(QWidget* parent = nullptr);
    ~CBarPopupMenu() override;

    // Adds an entry carrying the command id as its data and object name.
    QAction* AddCommand(int id, const QString& text, bool enabled);
    // Only entries whose command has an image here show one.
    void SetCommandImage(int id, const QPixmap& image);
    QPixmap CommandImage(int id) const;
    QAction* FindCommand(int id) const;

private:
    CBarMenuStyle* m_style;
    QMap<int, QPixmap> m_images;
};
