#pragma once

#include <zlib.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include "charts/widgets/PainterChartCanvas.h"
#include "places/BaseMap.h"
#include "places/MapPainter.h"

// A tile server on the loopback address, in the test process.  The first part of the path says
// how it answers: good (a PNG of the tile, coloured by its x and y), jpeg, notfound, error,
// refuse (closes without a word), garbage, bomb (a PNG header claiming 60000 × 60000 pixels),
// endless (a body that never ends), huge (a length beyond any tile), slow (never answers),
// drawn (the tile drawn from the base map in a server's colours, with its grid and number),
// nostore and maxage0 (good tiles with those cache headers).  It records each request's path
// and user agent, and the most connections it had open at once.
class CLocalTileServer : public QObject {
public:
    CLocalTileServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] { Accept(); });
    }
    // The open connections go with the server; their last signals must not reach this half-gone
    // object's requests.
    ~CLocalTileServer() override
    {
        for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>()) socket->disconnect(this);
    }

    QString Template(const QString& mode, const QString& suffix = QStringLiteral("png")) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2/{z}/{x}/{y}.%3")
            .arg(m_server.serverPort())
            .arg(mode, suffix);
    }

    QStringList paths;
    QStringList userAgents;
    int open = 0;
    int mostOpen = 0;

    static QByteArray TilePng(int x, int y, int size = 256)
    {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(QColor((x * 40) % 256, (y * 40) % 256, 128));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    // The tile's square of the base map in a server's own colours (a brighter sea, paler land,
    // so the tiles stand apart from the built-in map under them), with its edges and its name.
    static QByteArray DrawnTilePng(int z, int x, int y)
    {
        QImage image(256, 256, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            const double count = double(1 << z);
            const CMapViewport view(GeoFromMercator({(x + 0.5) / count, (y + 0.5) / count}), z, 256,
                                    256);
            CPainterChartCanvas canvas(painter, image.size(), QFont());
            DrawBaseMap(canvas, view, ShippedBaseMap());
        }
        const auto rgb = [](ChartColorRef color) {
            return qRgb(ChartRed(color), ChartGreen(color), ChartBlue(color));
        };
        for (int row = 0; row < image.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int column = 0; column < image.width(); ++column) {
                if (line[column] == rgb(kMapSeaColor)) line[column] = qRgb(0xAE, 0xD8, 0xF2);
                if (line[column] == rgb(kMapLandColor)) line[column] = qRgb(0xFA, 0xF8, 0xF2);
            }
        }
        {
            QPainter painter(&image);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(150, 170, 190), 1, Qt::DashLine));
            painter.drawRect(0, 0, 255, 255);
            painter.setPen(QColor(90, 110, 130));
            painter.drawText(6, 16, QStringLiteral("test %1/%2/%3").arg(z).arg(x).arg(y));
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    static QByteArray TileJpeg()
    {
        QImage image(256, 256, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG");
        return bytes;
    }
    // A PNG whose header claims width × height pixels, with a little compressed data after it.
    static QByteArray BigEndian(quint32 v)
    {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    }
    static QByteArray BombPng(quint32 width, quint32 height)
    {
        QByteArray png("\x89PNG\r\n\x1a\n", 8);
        const auto chunk = [&png](const char* type, const QByteArray& data) {
            QByteArray body(type, 4);
            body += data;
            png += BigEndian(static_cast<quint32>(data.size()));
            png += body;
            png += BigEndian(static_cast<quint32>(
                crc32(0, reinterpret_cast<const Bytef*>(body.constData()), body.size())));
        };
        QByteArray ihdr;
        for (quint32 v : {width, height}) ihdr += BigEndian(v);
        ihdr += QByteArray("\x08\x02\x00\x00\x00", 5);
        chunk("IHDR", ihdr);
        chunk("IDAT", qCompress(QByteArray(4096, '\0')).mid(4));
        chunk("IEND", QByteArray());
        return png;
    }

private:
    void Accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            ++open;
            mostOpen = std::max(mostOpen, open);
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                --open;
                // A later connection may get this one's address: it must not inherit its request.
                m_requests.remove(socket);
                socket->deleteLater();
            });
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        }
    }

    void Read(QTcpSocket* socket)
    {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n") || socket->property("answered").toBool()) return;
        socket->setProperty("answered", true);
        const QList<QByteArray> lines = request.split('\n');
        const QString path = QString::fromLatin1(lines[0].split(' ').value(1));
        QString agent;
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:"))
                agent = QString::fromLatin1(line.mid(11).trimmed());
        paths << path;
        userAgents << agent;
        Answer(socket, path);
    }

    void Answer(QTcpSocket* socket, const QString& path)
    {
        const QStringList parts = path.split(QLatin1Char('/'));
        const QString mode = parts.value(1);
        const int z = parts.value(2).toInt();
        const int x = parts.value(3).toInt();
        const int y = parts.value(4).section(QLatin1Char('.'), 0, 0).toInt();
        const auto send = [socket](const QByteArray& status, const QByteArray& headers,
                                   const QByteArray& body) {
            socket->write("HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
            socket->disconnectFromHost();
        };
        if (mode == QLatin1String("good")) {
            send("200 OK", "Content-Type: image/png\r\nCache-Control: max-age=3600\r\n",
                 TilePng(x, y));
        } else if (mode == QLatin1String("drawn")) {
            send("200 OK", "Content-Type: image/png\r\n", DrawnTilePng(z, x, y));
        } else if (mode == QLatin1String("jpeg")) {
            send("200 OK", "Content-Type: image/jpeg\r\n", TileJpeg());
        } else if (mode == QLatin1String("nostore")) {
            send("200 OK", "Cache-Control: no-store\r\n", TilePng(x, y));
        } else if (mode == QLatin1String("maxage0")) {
            send("200 OK", "Cache-Control: max-age=0\r\n", TilePng(x, y));
        } else if (mode == QLatin1String("notfound")) {
            send("404 Not Found", "", "no such tile");
        } else if (mode == QLatin1String("error")) {
            send("500 Internal Server Error", "", TilePng(x, y));  // a picture, but not a tile
        } else if (mode == QLatin1String("refuse")) {
            socket->abort();
        } else if (mode == QLatin1String("garbage")) {
            send("200 OK", "Content-Type: image/png\r\n", QByteArray(5000, '\x7f'));
        } else if (mode == QLatin1String("bomb")) {
            send("200 OK", "Content-Type: image/png\r\n", BombPng(60000, 60000));
        } else if (mode == QLatin1String("huge")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\n");
        } else if (mode == QLatin1String("endless")) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n" + TilePng(x, y));
            auto* timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] {
                if (socket->bytesToWrite() < (1 << 20)) socket->write(QByteArray(64 << 10, 'z'));
            });
            timer->start(1);
        }
        // slow: never answers.
    }

    QHash<QTcpSocket*, QByteArray> m_requests;
    QTcpServer m_server;
};
