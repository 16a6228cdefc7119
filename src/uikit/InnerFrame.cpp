#include "uikit/InnerFrame.h"

#include <QFrame>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

void StackBarOverView(QWidget* frame, QWidget* bar, QWidget* view, bool line)
{
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    if (line) {
        auto* border = new QFrame(frame);
        border->setFrameShape(QFrame::HLine);
        border->setFrameShadow(QFrame::Sunken);
        layout->addWidget(border);
    }
    layout->addWidget(view, 1);
}

void SetUpReportList(QTableView* list)
{
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    // Every row has the same height: the view need not measure thousands of rows.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setStretchLastSection(false);
}
