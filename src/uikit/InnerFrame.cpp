#include "uikit/InnerFrame.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace {
class CSectionStretcher final : public QObject {
public:
    CSectionStretcher(QAbstractScrollArea* view, QHeaderView* header,
                      std::vector<std::pair<int, int>> sections)
        : QObject(view), m_view(view), m_header(header), m_sections(std::move(sections))
    {
        view->viewport()->installEventFilter(this);
        connect(header, &QHeaderView::sectionResized, this, [this](int section) {
            if (!Stretches(section)) Fit();
        });
        // Columns made after the view got its size (a list filled after it was shown) are set
        // to their classic widths by the caller; the room is given once that is done.
        connect(header, &QHeaderView::sectionCountChanged, this, [this] {
            QMetaObject::invokeMethod(
                this, [this] { Fit(); }, Qt::QueuedConnection);
        });
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize) Fit();
        return QObject::eventFilter(watched, event);
    }

private:
    bool Stretches(int section) const
    {
        return std::any_of(m_sections.begin(), m_sections.end(),
                           [section](const std::pair<int, int>& s) { return s.first == section; });
    }

    void Fit()
    {
        if (!m_header) return;
        int others = 0;
        int minimums = 0;
        for (int i = 0; i < m_header->count(); ++i) {
            if (!Stretches(i) && !m_header->isSectionHidden(i)) others += m_header->sectionSize(i);
        }
        for (const auto& [section, minimum] : m_sections) {
            if (section >= m_header->count()) return;
            minimums += minimum;
        }
        // The spare room in equal shares, the first columns taking the odd pixels.
        const int spare = std::max(0, m_view->viewport()->width() - others - minimums);
        const int count = static_cast<int>(m_sections.size());
        for (int n = 0; n < count; ++n) {
            const auto& [section, minimum] = m_sections[static_cast<size_t>(n)];
            const int width = minimum + spare / count + (n < spare % count ? 1 : 0);
            if (m_header->sectionSize(section) != width) m_header->resizeSection(section, width);
        }
    }

    QAbstractScrollArea* m_view;
    QPointer<QHeaderView> m_header;
    std::vector<std::pair<int, int>> m_sections;
};

class CBarStretcher final : public QObject {
public:
    CBarStretcher(QWidget* bar, std::vector<CBarGrower> growers) : QObject(bar), m_bar(bar)
    {
        for (QWidget* child : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            m_base.push_back({child, child->geometry(), 0});
            m_usedWidth = std::max(m_usedWidth, child->geometry().right() + 1);
        }
        for (const CBarGrower& grower : growers) {
            for (CControl& control : m_base) {
                if (control.widget == grower.control) control.weight = grower.weight;
            }
        }
        bar->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_bar && event->type() == QEvent::Resize) Lay();
        return QObject::eventFilter(watched, event);
    }

private:
    struct CControl {
        QPointer<QWidget> widget;
        QRect base;
        int weight;
    };
    void Lay()
    {
        // Only a bar wider than the one the controls were placed for gives them more room.
        const int designed = std::max(kPageWidthAt800, m_usedWidth + kRightMargin);
        const int extra = std::max(0, m_bar->width() - designed);
        int weights = 0;
        for (const CControl& control : m_base) weights += control.weight;
        std::vector<int> growth(m_base.size(), 0);
        for (size_t n = 0; n < m_base.size(); ++n) {
            if (weights > 0 && m_base[n].weight > 0) {
                growth[n] =
                    std::min(2 * m_base[n].base.width(), extra * m_base[n].weight / weights);
            }
        }
        for (size_t n = 0; n < m_base.size(); ++n) {
            if (!m_base[n].widget) continue;
            int shift = 0;
            for (size_t g = 0; g < m_base.size(); ++g) {
                if (growth[g] > 0 && m_base[g].base.right() < m_base[n].base.left())
                    shift += growth[g];
            }
            QRect placed = m_base[n].base;
            placed.translate(shift, 0);
            placed.setWidth(placed.width() + growth[n]);
            m_base[n].widget->setGeometry(placed);
        }
    }

    static constexpr int kRightMargin = 8;
    QWidget* m_bar;
    std::vector<CControl> m_base;
    int m_usedWidth = 0;
};
}  // namespace

void StretchBarControls(QWidget* bar, std::vector<CBarGrower> growers)
{
    new CBarStretcher(bar, std::move(growers));
}

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

void GiveRoomToSections(QAbstractScrollArea* view, QHeaderView* header,
                        std::vector<std::pair<int, int>> sectionMinimums)
{
    new CSectionStretcher(view, header, std::move(sectionMinimums));
}

void GiveRoomToSection(QAbstractScrollArea* view, QHeaderView* header, int section,
                       int minimumWidth)
{
    GiveRoomToSections(view, header, {{section, minimumWidth}});
}
