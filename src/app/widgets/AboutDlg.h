#pragma once

#include <QDialog>

class CLinkStatic;

// The about box: the program's icon, name and version, a rights line, a link to the manual
// shipped with the program and the credit of the tide data.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // The name and the version the build was made as.
    static constexpr const char* kVersionText = "Lurebook バージョン " LUREBOOK_VERSION;
    static constexpr const char* kRightsText = "(C) 2026 Lurebook developers";
    static constexpr const char* kLinkText = "使い方 (マニュアル)";
    // The tide stations' data is CC BY 4.0: its credit travels with the program.
    static constexpr const char* kTideDataText =
        "潮汐の調和定数: TICON-4 (Hart-Davis, Dettmering,\n"
        "Seitz 2025, doi:10.17882/109129), CC BY 4.0。\n"
        "Neaps tide database (@neaps/tide-database, MIT)\n"
        "より。港名・県名は Lurebook が追加。";

    // The dialog's and its controls' ids (each control's object name is its id).
    static constexpr int kTemplateId = 100;
    static constexpr int kOkId = 1;
    static constexpr int kLinkId = 1033;

    explicit CAboutDlg(QWidget* parent = nullptr);
    CLinkStatic* GetLink() const { return m_link; }

private:
    CLinkStatic* m_link = nullptr;
};
