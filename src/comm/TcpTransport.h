#pragma once

#include <QTcpSocket>
#include <QTimer>

#include "comm/Transport.h"

namespace voltaris {

// RTU frames carried over TCP, as serial-to-Ethernet gateways do: the bytes of the line,
// unchanged. Opening starts the connection and returns; isOpening() holds until it is made
// or has failed. The gateway owns the serial settings and the control lines.
class TcpTransport : public Transport {
    Q_OBJECT
public:
    TcpTransport(const QString& host, quint16 port, QObject* parent = nullptr);
    ~TcpTransport() override;

    // "tcp://host:port" (host may be a name, an IPv4 address or an [IPv6] address);
    // false when the text is not of that form.
    static bool parseUrl(const QString& url, QString* host, quint16* port);

    QString name() const override;
    bool open(const LineSettings& settings) override;
    void close() override;
    bool isOpen() const override;
    bool isOpening() const override { return m_opening; }
    bool applySettings(const LineSettings& settings) override;
    LineSettings settings() const override { return m_settings; }

    qint64 write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    void discardInput() override;

    // The gateway has no control lines to offer: setters store the value and return false.
    bool setDtr(bool on) override;
    bool setRts(bool on) override;
    bool dtr() const override { return m_dtr; }
    bool rts() const override { return m_rts; }
    bool cts() const override { return false; }
    bool dsr() const override { return false; }
    bool cd() const override { return isOpen(); }

    // How long a connection may take before opening fails; 5000 ms unless set.
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }

private:
    void onConnected();
    void onError(QAbstractSocket::SocketError error);
    void failOpening(const QString& detail);

    QString m_host;
    quint16 m_portNumber;
    QTcpSocket m_socket;
    QTimer m_connectTimer;
    LineSettings m_settings;
    int m_connectTimeoutMs = 5000;
    bool m_opening = false;
    bool m_connected = false;
    bool m_dtr = false;
    bool m_rts = false;
};

}  // namespace voltaris
