#pragma once

#include <QDialog>

class CLinkStatic;

// The about box: the program's icon, name and version, a rights line and a link to the manual
// shipped with the program.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // The name and the version the build was made as.
    static constexpr const char* kVersionText = "Lurebook バージョン " LUREBOOK_VERSION;
    static constexpr const char* kRightsText = "(C) 2026 Lurebook developers";
    static constexpr const char* kLinkText = "使い方 (マニュアル)";

    explicit CAboutDlg(QWidget* parent = nullptr);
    CLinkStatic* GetLink() const { return m_link; }

private:
    CLinkStatic* m_link = nullptr;
};
