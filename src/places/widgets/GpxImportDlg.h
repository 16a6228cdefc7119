#pragma once

#include <QDialog>
#include <vector>

#include "places/GpsExchange.h"

class CDataFolder;
class QCheckBox;
class QTableWidget;

// The preview of a GPX file's waypoints before they become places: per waypoint its name,
// position and what taking it would do.  A position the user set is replaced only when the box
// saying so is ticked.
class CGpxImportDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTableId = 1;
    static constexpr int kReplaceId = 2;

    CGpxImportDlg(QWidget* parent, std::vector<CImportPreviewRow> rows, size_t skipped);

    const std::vector<CImportPreviewRow>& Rows() const { return m_rows; }
    // Whether the user agreed to replace the positions they set.
    bool ReplaceAsked() const;

private:
    std::vector<CImportPreviewRow> m_rows;
    QTableWidget* m_table = nullptr;
    QCheckBox* m_replace = nullptr;
};

// 「GPX から場所を取り込む...」: asks for a file, shows the preview and keeps what the user agreed
// to in the places file of folder.  Every failure (the file, a damaged places file, the write) is
// told in a message; true when places were kept.
bool ImportGpxPlaces(QWidget* parent, const CDataFolder& folder);
