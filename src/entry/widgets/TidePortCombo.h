#pragma once

#include <QComboBox>
#include <QStringList>
#include <string>

class CTideStation;
class CTideStations;
class QCompleter;
class QStringListModel;

// How a port is named in lists: "東京（東京都）".
QString TidePortText(const CTideStation& station);

// A choice of tide port: an editable combo box of every port offered to users, in the order of
// their readings.  Typing narrows the list that drops down to the ports whose kanji name, kana
// reading, romanised name or prefecture match; picking one (or Enter, which takes the best
// match) chooses it.  Text that names no port is put back to the chosen port when editing ends.
class CTidePortCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CTidePortCombo(const CTideStations& stations, QWidget* parent = nullptr);

    // Chooses the port of this id (a shown port; another id chooses its port's shown station);
    // an unknown or empty id leaves no port chosen.  Emits nothing.
    void SetPortId(const std::string& id);
    // The chosen port's id; "" when none.
    std::string PortId() const;
    // The ports the drop-down list offers for what was typed last.
    const QStringList& NarrowedIds() const { return m_narrowedIds; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    // The user chose another port.
    void portChosen();

private:
    void OnTextEdited(const QString& text);
    void ChooseNarrowed(int row);
    void RestoreText();

    const CTideStations& m_stations;
    QCompleter* m_completer = nullptr;
    QStringListModel* m_narrowed = nullptr;
    QStringList m_narrowedIds;
    bool m_settingPort = false;
};
