#include "core/UVariaveis.h"
#include "core/Configuracao.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QThread>
#include <QTimeZone>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

namespace vx {

Sessao& SessaoAtual()
{
    static Sessao s;
    return s;
}

QDate DataAtualDate()
{
    return QDate::fromString(SessaoAtual().DataAtual, QStringLiteral("dd/MM/yyyy"));
}

QChar PapelInstalacao()
{
    const QString& u = SessaoAtual().UsuarioInstalacao;
    return u.isEmpty() ? QChar() : u.at(0);
}

QString CodigoInstalacao()
{
    return SessaoAtual().UsuarioInstalacao.mid(1, 7);
}

bool EhConsorcio() { return PapelInstalacao() == QLatin1Char('C'); }
bool EhMunicipio() { return PapelInstalacao() == QLatin1Char('M'); }
bool EhPrestador()
{
    const QChar p = PapelInstalacao();
    return p == QLatin1Char('E') || p == QLatin1Char('P');
}

bool TemPerfil(const QString& palavra)
{
    return SessaoAtual().PerfilConsorcio.toUpper().contains(palavra.toUpper());
}

bool TemPerfilLiteral(const QString& palavra)
{
    return SessaoAtual().PerfilConsorcio.contains(palavra);
}

void CarregaIdentidade()
{
    SessaoAtual().PerfilConsorcio = Geral::CONSORCIO();
    SessaoAtual().UsuarioInstalacao = Geral::USUARIO().toUpper();
}

QDate DataMinimaNtp()
{
    return QDate(2012, 7, 31);
}

QString NormalizaData(const QDate& d)
{
    return QStringLiteral("%1/%2/%3")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.year());
}

namespace {

// Resolves `host` within the deadline: an address literal at once, a name through an asynchronous
// lookup abandoned when the deadline passes. IPv4 addresses first.
QHostAddress resolveAte(const QString& host, const QDeadlineTimer& prazo)
{
    const QHostAddress literal(host);
    if (!literal.isNull())
        return literal;
    QList<QHostAddress> enderecos;
    if (QCoreApplication::instance() && QThread::currentThread()->eventDispatcher()) {
        QEventLoop laco;
        bool pronto = false;
        const int id = QHostInfo::lookupHost(host, &laco, [&](const QHostInfo& info) {
            if (info.error() == QHostInfo::NoError)
                enderecos = info.addresses();
            pronto = true;
            laco.quit();
        });
        if (!pronto && !prazo.hasExpired()) {
            QTimer::singleShot(qMax<qint64>(1, prazo.remainingTime()), &laco, &QEventLoop::quit);
            laco.exec(QEventLoop::ExcludeUserInputEvents);
        }
        if (!pronto) {
            QHostInfo::abortHostLookup(id);
            return {};
        }
    } else {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() == QHostInfo::NoError)
            enderecos = info.addresses();
    }
    for (const QHostAddress& a : enderecos)
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a;
    return enderecos.isEmpty() ? QHostAddress() : enderecos.first();
}

constexpr qint64 kEpocaNtp = Q_INT64_C(2208988800); // 1900-01-01 to 1970-01-01, in seconds

quint64 paraNtp(qint64 msUnix)
{
    const quint64 seg = quint64(msUnix / 1000 + kEpocaNtp);
    const quint64 frac = (quint64(msUnix % 1000) << 32) / 1000;
    return (seg << 32) | frac;
}

} // namespace

QDateTime ConsultaNtp(const QString& servidor, int timeoutMs)
{
    QString host = servidor.trimmed();
    quint16 porta = 123;
    const int dp = host.lastIndexOf(QLatin1Char(':'));
    if (dp > 0 && !host.contains(QLatin1Char(']')) && host.count(QLatin1Char(':')) == 1) {
        bool ok = false;
        const int p = host.mid(dp + 1).toInt(&ok);
        if (ok && p > 0 && p < 65536) {
            porta = quint16(p);
            host = host.left(dp);
        }
    }
    if (host.isEmpty())
        return {};
    // One deadline for the name lookup and the answer.
    const QDeadlineTimer prazo(timeoutMs);
    const QHostAddress endereco = resolveAte(host, prazo);
    if (endereco.isNull() || prazo.hasExpired())
        return {};
    QUdpSocket sock;
    QByteArray pedido(48, '\0');
    pedido[0] = char(0x23); // LI 0, version 4, mode 3 (client)
    // Transmit time stamp: the reply must echo it as its originate time stamp. The low bits of
    // the fraction are random so that a stray or forged datagram cannot match.
    const quint64 enviado =
        paraNtp(QDateTime::currentMSecsSinceEpoch()) ^ (QRandomGenerator::global()->generate() & 0xFFFFu);
    qToBigEndian<quint64>(enviado, reinterpret_cast<uchar*>(pedido.data()) + 40);
    if (sock.writeDatagram(pedido, endereco, porta) != pedido.size())
        return {};
    while (!prazo.hasExpired()) {
        if (!sock.waitForReadyRead(int(qMax<qint64>(1, prazo.remainingTime()))))
            break;
        while (sock.hasPendingDatagrams()) {
            QByteArray r(int(qMax<qint64>(0, sock.pendingDatagramSize())), '\0');
            QHostAddress de;
            quint16 portaDe = 0;
            if (sock.readDatagram(r.data(), r.size(), &de, &portaDe) < 48 || portaDe != porta ||
                !de.isEqual(endereco, QHostAddress::TolerantConversion))
                continue;
            const uchar* p = reinterpret_cast<const uchar*>(r.constData());
            const int versao = (p[0] >> 3) & 7;
            const int modo = p[0] & 7;
            const int estrato = p[1];
            if (modo != 4 || (versao != 3 && versao != 4) || estrato < 1 || estrato > 15)
                continue;
            if (qFromBigEndian<quint64>(p + 24) != enviado) // originate time stamp
                continue;
            const quint32 seg = qFromBigEndian<quint32>(p + 40); // transmit time stamp
            const quint32 frac = qFromBigEndian<quint32>(p + 44);
            if (seg == 0 && frac == 0)
                continue;
            const qint64 unixSeg = qint64(seg) - kEpocaNtp;
            const qint64 ms = unixSeg * 1000 + qint64((quint64(frac) * 1000) >> 32);
            return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime();
        }
    }
    return {};
}

QString CalculaDataAtual(const QString& servidor, int timeoutMs)
{
    Sessao& s = SessaoAtual();
    s.NtpOk = false;
    QDate data = QDate::currentDate();
    const QDateTime rede = ConsultaNtp(servidor, timeoutMs);
    if (rede.isValid() && rede.date() >= DataMinimaNtp()) {
        data = rede.date();
        s.NtpOk = true;
    }
    s.DataAtual = NormalizaData(data);
    return s.DataAtual;
}

} // namespace vx
