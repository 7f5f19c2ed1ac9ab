#pragma once

#include "web/WebAccess.h"
#include "web/WebActions.h"
#include "web/WebProgram.h"
#include "web/WebServer.h"

#include <QFileSystemWatcher>
#include <QHostAddress>
#include <QJsonObject>
#include <QObject>

#include <memory>

class Instrument;

// The instrument's web page: the page itself, the LXI identification, the
// JSON API the page uses and the event stream that keeps every open page
// current. Each front door (the window, the headless mode) makes one when
// the page is asked for; changes made here carry this object as origin.
class G740Web : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 8080;

    G740Web(Instrument &instrument, WebProgram program, QObject *parent = nullptr);
    ~G740Web() override;

    // address: loopback unless the lab network is meant; beyond loopback,
    // changes need the password of the WebProgram (none: read-only).
    bool listen(const QHostAddress &address, quint16 port);
    void close();
    bool isListening() const;
    quint16 port() const;
    QString errorString() const;
    int pageCount() const; // open event streams

    // What the SCPI side's state means for the resource strings may change
    // (remote control turned on or off): every page is told.
    void programChanged();

    static QString listeningText(quint16 port);
    static QString failureText(quint16 port, const QString &reason);

private:
    HttpResponse handle(const HttpRequest &request, const WebPeer &peer);
    HttpResponse handleGet(const HttpRequest &request, const WebPeer &peer);
    HttpResponse handlePost(const HttpRequest &request);
    HttpResponse page(const QString &resource, const QByteArray &type) const;
    HttpResponse stateResponse(const WebPeer &peer) const;
    HttpResponse identification(const WebPeer &peer) const;
    QJsonObject liveStateObject() const;
    QByteArray liveState() const;
    QString hostOf(const WebPeer &peer) const;
    void scheduleUpdate();

    Instrument &m_instrument;
    WebProgram m_program;
    WebActions m_actions;
    std::unique_ptr<WebAccess> m_access;
    WebServer m_server;
    QFileSystemWatcher m_settingsWatch;
    bool m_updatePending = false;
    quint64 m_revision = 0; // of the record, so a page knows when to fetch the sweep again
    QByteArray m_sweep;     // the sweep's JSON of m_sweepRevision
    quint64 m_sweepRevision = 0;
};
