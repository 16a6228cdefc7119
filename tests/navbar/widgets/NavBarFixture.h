#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "navbar/widgets/BarLabelEdit.h"
#include "navbar/widgets/BarPopupMenu.h"
#include "navbar/widgets/NavBarCtrl.h"
#include "navbar/widgets/NavBarImages.h"

// One notification as the owner saw it.
struct SeenNotify {
    int code = 0;
    int index = -1;
    int infoIndex = -1;
    std::string text;
    int folder = -1;
    int item = -1;
};

// A bar 160 x `height` inside a larger host window, filled like the main window's bar, with an
// owner that records every notification and answers with `reply`.
class NavBarWidgetTest : public ::testing::Test {
protected:
    void MakeBar(std::uint32_t flags = 0x1FC, int height = 320)
    {
        host = std::make_unique<QWidget>();
        host->resize(400, std::max(400, height + 40));
        lists = CreateNavBarImageLists();
        bar = new CNavBarCtrl;
        bar->CreateBar(host.get(), QRect(10, 10, 160, height), 1001, flags);
        bar->SetNotifyHandler([this](int code, int index, const BarNotifyInfo* info) -> long {
            SeenNotify seen{code, index, -1, {}, -1, -1};
            if (info != nullptr) {
                seen.infoIndex = info->index;
                seen.text = info->text != nullptr ? info->text : "";
                seen.folder = info->folder;
                seen.item = info->item;
            }
            notes.push_back(seen);
            return reply;
        });
        SetUpNavBarMenu(*bar, lists);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        bar->repaint();
        notes.clear();
    }

    void SetUp() override { MakeBar(); }

    QPoint IconCenter(int item) const { return bar->ItemIconRect(0, item).center(); }

    std::vector<QString> Labels() const
    {
        std::vector<QString> labels;
        for (int k = 0; k < bar->ItemCountOfSelected(); ++k) labels.push_back(bar->ItemLabel(k));
        return labels;
    }

    // Saves a picture of the bar when LUREBOOK_NAVBAR_SHOTS names a folder.
    void Shot(const QString& name) const
    {
        const QByteArray dir = qgetenv("LUREBOOK_NAVBAR_SHOTS");
        if (dir.isEmpty()) return;
        QDir().mkpath(QString::fromLocal8Bit(dir));
        const QImage picture = bar->grab().toImage();
        const QString base = QString::fromLocal8Bit(dir) + u'/' + name;
        picture.save(base + QStringLiteral(".png"));
        // Enlarged, so single-pixel edges can be checked by eye.
        picture.scaled(picture.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .save(base + QStringLiteral("-x3.png"));
    }

    std::unique_ptr<QWidget> host;
    NavBarImageLists lists;
    CNavBarCtrl* bar = nullptr;
    std::vector<SeenNotify> notes;
    long reply = 1;
};

inline const QString kMenuLabels[] = {QStringLiteral("トップ"), QStringLiteral("データ登録"),
                                      QStringLiteral("データ統計"), QStringLiteral("画像一覧")};
