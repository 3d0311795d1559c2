#pragma once

#include "comm/Transport.h"
#include "sim/SimNetwork.h"
#include "sim/SimRequestParser.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace voltaris {

// Serves a SimNetwork on a pseudo-terminal. The simulator keeps a descriptor of the slave
// side open itself, so a program may open and close the port any number of times, and sets
// it raw so nothing is echoed before the program has set it up. Each request is answered
// according to the line settings the program has set on the terminal at that moment.
class SimPtyServer : public QObject {
    Q_OBJECT
public:
    explicit SimPtyServer(SimNetwork& network, QObject* parent = nullptr);
    ~SimPtyServer() override;

    // Creates the pseudo-terminal; throws IoError when it cannot.
    void start();
    // The slave's path, e.g. /dev/pts/3.
    QString path() const { return m_path; }
    // The settings the program has set; the terminal's default before that.
    Transport::LineSettings lineSettings() const;

signals:
    // An Unplug fault took the terminal away.
    void unplugged();

private:
    void onReadable();
    void unplug();
    void closeAll();

    SimNetwork& m_network;
    SimRequestParser m_parser;
    QString m_path;
    int m_master = -1;
    int m_slave = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::shared_ptr<int> m_session;
};

// Serves a SimNetwork over TCP, RTU frames as a serial-to-Ethernet gateway carries them;
// the gateway's serial line runs at one fixed speed.
class SimTcpServer : public QObject {
    Q_OBJECT
public:
    SimTcpServer(SimNetwork& network, qint32 lineBaud, QObject* parent = nullptr);
    ~SimTcpServer() override;

    // Listens on `address`:`port` (0: any free port); throws IoError when it cannot.
    void start(const QString& address, quint16 port);
    quint16 port() const;
    QString url() const;

signals:
    void unplugged();

private:
    struct Client {
        QPointer<QTcpSocket> socket;
        SimRequestParser parser;
    };
    void onConnection();
    void onReadable(Client* client);
    void unplug();

    SimNetwork& m_network;
    Transport::LineSettings m_line;
    QTcpServer* m_server = nullptr;
    QString m_address;
    std::vector<std::unique_ptr<Client>> m_clients;
};

}  // namespace voltaris
