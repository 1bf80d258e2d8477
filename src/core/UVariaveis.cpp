#include "core/UVariaveis.h"
#include "core/Configuracao.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QTimeZone>
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
    QDeadlineTimer prazo(timeoutMs);
    QHostAddress endereco(host);
    if (endereco.isNull()) {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            return {};
        endereco = info.addresses().first();
    }
    QUdpSocket sock;
    QByteArray pedido(48, '\0');
    pedido[0] = char(0x1B); // LI 0, version 3, mode 3 (client)
    if (sock.writeDatagram(pedido, endereco, porta) != pedido.size())
        return {};
    while (!prazo.hasExpired()) {
        if (!sock.waitForReadyRead(int(qMax<qint64>(1, prazo.remainingTime()))))
            break;
        while (sock.hasPendingDatagrams()) {
            QByteArray r(int(sock.pendingDatagramSize()), '\0');
            sock.readDatagram(r.data(), r.size());
            if (r.size() < 48)
                continue;
            const uchar* p = reinterpret_cast<const uchar*>(r.constData());
            const quint32 seg = qFromBigEndian<quint32>(p + 40); // transmit timestamp
            const quint32 frac = qFromBigEndian<quint32>(p + 44);
            if (seg == 0)
                continue;
            const qint64 unixSeg = qint64(seg) - Q_INT64_C(2208988800);
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
