#include "exchange/ftp/TransporteFtp.h"
#include "core/Configuracao.h"
#include "core/Mensagens.h"
#include "core/UVariaveis.h"
#include "exchange/ftp/FtpCliente.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QUuid>

#include <algorithm>

namespace vx {

namespace {

struct PadraoFamilia {
    const char* sufixo; // suffix of the GERAL override keys
    const char* host;
    const char* usuario; // prefix for numbered families
    const char* senha;
};

// Built-in accounts; every value can be overridden in GERAL.
const PadraoFamilia& padrao(FamiliaFtp f)
{
    static const PadraoFamilia tab[] = {
        {"CUNE", "ftp.cune.vornex.com.br", "cune", "Vx#cune15"},
        {"CONSORCIOS", "ftp.consorcios.vornex.com.br", "consorcio", "Vx#cons15"},
        {"CULVAR", "ftp.culvar.vornex.com.br", "culvar", "Vx#culvar15"},
        {"PADRAO", "ftp.vornex.com.br", "vornex", "Vx#padrao15"},
    };
    return tab[int(f)];
}

QString chave(const char* nome, const char* sufixo, const char* valorPadrao)
{
    const QString g = QStringLiteral("GERAL");
    const QString especifica = QString::fromLatin1(nome) + QLatin1Char('_') + QString::fromLatin1(sufixo);
    if (Ini().existe(g, especifica))
        return Ini().le(g, especifica);
    if (Ini().existe(g, QString::fromLatin1(nome)))
        return Ini().le(g, QString::fromLatin1(nome));
    return QString::fromLatin1(valorPadrao);
}

bool ehNumerada(FamiliaFtp f)
{
    return f == FamiliaFtp::Cune || f == FamiliaFtp::Consorcios;
}

} // namespace

FamiliaFtp FamiliaFtpDoPerfil()
{
    if (TemPerfil(QStringLiteral("CUNE")) || TemPerfil(QStringLiteral("TESTE")))
        return FamiliaFtp::Cune;
    if (TemPerfil(QStringLiteral("CUMBEL")) || TemPerfil(QStringLiteral("CEVRANDOSA")) ||
        TemPerfil(QStringLiteral("CASLUNE")) || TemPerfil(QStringLiteral("CORVANE")))
        return FamiliaFtp::Consorcios;
    if (TemPerfil(QStringLiteral("CULVAR")))
        return FamiliaFtp::Culvar;
    return FamiliaFtp::Padrao;
}

ContaFtp ContaFtpPara(int numero)
{
    ContaFtp c;
    c.familia = FamiliaFtpDoPerfil();
    const PadraoFamilia& p = padrao(c.familia);
    c.host = chave("FTPHOST", p.sufixo, p.host);
    c.usuario = chave("FTPUSUARIO", p.sufixo, p.usuario);
    c.senha = chave("FTPSENHA", p.sufixo, p.senha);
    c.porta = Geral::PORTA();
    if (ehNumerada(c.familia))
        c.usuario += QStringLiteral("%1").arg(numero, 2, 10, QLatin1Char('0'));
    return c;
}

int NumeroContaInicial()
{
    return EhMunicipio() ? 1 : 3;
}

QString PastaFtpDoPerfil()
{
    static const char* ordem[] = {"CUMBEL", "CEVRANDOSA", "CASLUNE", "CORVANE", "CULVAR", "CUNE", "TESTE"};
    for (const char* p : ordem)
        if (TemPerfil(QString::fromLatin1(p)))
            return QString::fromLatin1(p).toLower();
    return {};
}

QString PastaFtpDeTrabalho()
{
    const QString p = PastaFtpDoPerfil();
    return p.isEmpty() ? QStringLiteral("teste") : p;
}

QString PastaFtpDoDestino(const QString& destino)
{
    if (destino.startsWith(QLatin1Char('P')))
        return QStringLiteral("marcacao/profiss") + destino.mid(1, 10).rightJustified(5, QLatin1Char('0'));
    if (destino.startsWith(QLatin1Char('F')))
        return QStringLiteral("faturamento/") + destino.mid(1, 10);
    return {};
}

namespace {
QString pastaLocal(const char* rel)
{
    const QString p = CaminhoInstalacao(QString::fromLatin1(rel));
    QDir().mkpath(p);
    return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
}
} // namespace

QString PastaEnvio() { return pastaLocal("arquivosxml/env"); }
QString PastaRecebidos() { return pastaLocal("arquivosxml/rec"); }
QString PastaErros() { return pastaLocal("arquivosxml/erros"); }

void CriaPastasTroca()
{
    PastaEnvio();
    PastaRecebidos();
    PastaErros();
}

QString LinhaComHora(const QString& texto)
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) + texto;
}

void EsperaMs(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(ulong(std::clamp<qint64>(ms - t.elapsed(), 0, 5)));
    }
}

bool ConectaFtp(FtpCliente& ftp)
{
    if (!Geral::ATIVARFTP()) {
        ftp.desconecta();
        return false;
    }
    ftp.defineTempoLento(Geral::FTPTEMPOLENTO());
    int numero = NumeroContaInicial();
    for (int tentativa = 0; tentativa < 3; ++tentativa) {
        ftp.desconecta();
        const ContaFtp conta = ContaFtpPara(numero);
        try {
            ftp.conecta(conta.host, conta.porta, conta.usuario, conta.senha);
        } catch (const ErroFtp&) {
        }
        if (ftp.conectado()) {
            if (PastaFtpDoPerfil().isEmpty())
                MostraSimples(QStringLiteral("Configurar a variável [CONSORCIO]"));
            ftp.mudaPasta(QLatin1Char('/') + PastaFtpDeTrabalho());
            return true;
        }
        ++numero;
    }
    return false;
}

EntradaListagem LeLinhaListagem(const QString& linha)
{
    // Unix: perms links owner [group] size date name, the date as "month day time|year" or ISO (the
    // size is the number right before it). DOS: date time size|<DIR> name.
    static const QRegularExpression formaUnix(QStringLiteral(
        "^[-dlcbps]\\S*\\s+.*?(\\d+)\\s+"
        "(?:\\p{L}{3}\\.?\\s+\\d{1,2}\\s+(?:\\d{1,2}:\\d{2}|\\d{4})|\\d{4}-\\d{2}-\\d{2}\\s+\\d{1,2}:\\d{2})\\s(.*)$"));
    static const QRegularExpression formaDos(QStringLiteral(
        "^\\d{1,2}-\\d{1,2}-\\d{2,4}\\s+\\d{1,2}:\\d{2}(?:[AaPp][Mm])?\\s+(<DIR>|\\d+)\\s(.*)$"));
    QRegularExpressionMatch m = formaUnix.match(linha);
    if (!m.hasMatch())
        m = formaDos.match(linha);
    EntradaListagem e;
    if (!m.hasMatch())
        return e;
    e.nome = m.captured(2).trimmed();
    bool ok = false;
    const qint64 t = m.captured(1).toLongLong(&ok);
    e.tamanho = ok && !linha.startsWith(QLatin1Char('d')) ? t : -2;
    return e;
}

qint64 TamanhoNaListagem(const QStringList& linhas, const QString& arquivo)
{
    for (const QString& linha : linhas) {
        if (!linha.contains(arquivo, Qt::CaseInsensitive))
            continue;
        const EntradaListagem e = LeLinhaListagem(linha);
        return e.nome == arquivo ? e.tamanho : -2;
    }
    return -1;
}

bool ListagemMostraArquivo(const QStringList& linhas, const QString& arquivo)
{
    const qint64 t = TamanhoNaListagem(linhas, arquivo);
    return t != -1 && t != 0;
}

bool ArquivoExisteFtp(FtpCliente& ftp, const QString& arquivo, qint64 tamanhoLocal)
{
    qint64 t = TamanhoNaListagem(ftp.listaDetalhada(arquivo), arquivo);
    if (t == -1 || t == 0)
        return false;
    if (tamanhoLocal < 0)
        return true;
    if (t == -2) {
        t = ftp.tamanho(arquivo);
        if (t < 0)
            return true; // listed, and the server tells no size
    }
    return t == tamanhoLocal;
}

QString LinhaEnvioPendente(const QString& gravado, const QString& arquivo)
{
    return QStringLiteral(" => %1; o arquivo %2 fica em arquivosxml/env e será enviado na próxima transmissão.")
        .arg(gravado, arquivo);
}

MarcaEnvio MarcaEnviado(const QString& arquivo)
{
    const QString local = PastaEnvio() + arquivo;
    const QString enviado = local + QStringLiteral(" (enviado)");
    QFile::remove(enviado);
    if (QFile::rename(local, enviado))
        return MarcaEnvio::Renomeado;
    const QString copia = local + QStringLiteral(" (enviado e deletado)");
    QFile::remove(copia);
    if (QFile::copy(local, copia) && QFile::remove(local))
        return MarcaEnvio::Copiado;
    return MarcaEnvio::Falhou;
}

QString NomeTemporarioFtp()
{
    return QStringLiteral("_tmp-") + QString::fromLatin1(QUuid::createUuid().toRfc4122().toHex()) + QStringLiteral(".part");
}

namespace {

// Renames the complete temporary file to its own name, over a stale copy of that name.
void colocaNoLugar(FtpCliente& ftp, const QString& temporario, const QString& arquivo)
{
    try {
        ftp.renomeia(temporario, arquivo);
        return;
    } catch (const ErroFtp&) {
        if (ftp.interrompido())
            throw;
    }
    // Some servers refuse to rename over an existing file: the stale copy is moved aside first
    // and removed only once the new one is in place (back under its name if that fails).
    const QString antigo = NomeTemporarioFtp();
    ftp.renomeia(arquivo, antigo);
    try {
        ftp.renomeia(temporario, arquivo);
    } catch (const ErroFtp&) {
        try {
            ftp.renomeia(antigo, arquivo);
        } catch (const ErroFtp&) {
        }
        throw;
    }
    try {
        ftp.apaga(antigo);
    } catch (const ErroFtp&) {
    }
}

// A message without its sending time: two builds of one message differ only there.
QByteArray semHoraDeEnvio(QByteArray dados)
{
    static const QRegularExpression envio(QStringLiteral("<dtEnvio>[^<]*</dtEnvio>"));
    return QString::fromLatin1(dados).remove(envio).toLatin1();
}

enum class Gemeo { Livre, JaRecebido };

// The remote name of a message bound for a billing folder. The consortium marks what it imported
// "okcune <name>"; a marked twin with the same content means the file was received already. A
// twin with other content (a realization reopened by a glosa and confirmed again) does not stop
// the new message: it goes under the first free name "<name without .xml>-2.xml", "-3", ...
Gemeo nomeNoFaturamento(FtpCliente& ftp, const QStringList& nomes, const QString& local, const QString& arquivo,
                        QString& remoto)
{
    QFile f(local);
    const QByteArray proprio = f.open(QIODevice::ReadOnly) ? semHoraDeEnvio(f.readAll()) : QByteArray();
    const QString raiz = arquivo.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ? arquivo.chopped(4) : arquivo;
    for (int n = 1; n < 100; ++n) {
        remoto = n == 1 ? arquivo : raiz + QStringLiteral("-%1.xml").arg(n);
        const QString marcado = QStringLiteral("okcune ") + remoto;
        const qsizetype i = nomes.indexOf(QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(marcado)),
                                                             QRegularExpression::CaseInsensitiveOption));
        if (i < 0)
            return Gemeo::Livre;
        const QString copia = PastaRecebidos() + NomeTemporarioFtp();
        ftp.recebe(nomes[i], copia);
        QFile g(copia);
        const QByteArray dele = g.open(QIODevice::ReadOnly) ? semHoraDeEnvio(g.readAll()) : QByteArray();
        g.close();
        QFile::remove(copia);
        if (dele == proprio)
            return Gemeo::JaRecebido;
    }
    throw ErroFtp(QStringLiteral("Nenhum nome livre para ") + arquivo);
}

void descarta(FtpCliente& ftp, QString& temporario)
{
    if (!temporario.isEmpty() && ftp.conectado() && !ftp.interrompido()) {
        try {
            ftp.apaga(temporario);
        } catch (const ErroFtp&) {
        }
    }
    temporario.clear();
}

// Sets the deadline of one upload for its lifetime, keeping an earlier one of the caller.
class PrazoDoEnvio {
public:
    PrazoDoEnvio(FtpCliente& ftp, int segundos) : m_ftp(ftp), m_anterior(ftp.prazo())
    {
        const QDeadlineTimer p(segundos > 0 ? qint64(segundos) * 1000 : -1);
        if (p < m_anterior)
            m_ftp.definePrazo(p);
    }
    ~PrazoDoEnvio() { m_ftp.definePrazo(m_anterior); }

private:
    FtpCliente& m_ftp;
    QDeadlineTimer m_anterior;
};

} // namespace

bool EnviaArquivoFtp(FtpCliente& ftp, const QString& arquivo, const QString& destino, const LinhaStatus& status,
                     const OpcoesEnvioFtp& opcoes)
{
    auto log = [&](const QString& t) {
        if (status)
            status(LinhaComHora(t));
    };
    const QString local = PastaEnvio() + arquivo;
    const bool porProfissional = destino.startsWith(QLatin1Char('P'));
    const bool porPeriodo = destino.startsWith(QLatin1Char('F'));
    const QString subpasta = porProfissional ? QStringLiteral("profiss") + destino.mid(1, 10).rightJustified(5, QLatin1Char('0'))
                                             : destino.mid(1, 10);

    const qint64 tamanhoLocal = QFileInfo(local).size();
    const PrazoDoEnvio prazo(ftp, Geral::FTPTEMPOTOTAL());

    bool enviado = false;
    bool jaExiste = false;
    int tentativas = 0;
    QString temporario; // stored under this name, not yet renamed
    QString remoto = arquivo; // the name on the server
    QString motivo;

    // Where the destination is, from the login folder.
    const QString pastaPerfil = QLatin1Char('/') + PastaFtpDeTrabalho();
    const QString alvo = porProfissional ? pastaPerfil + QStringLiteral("/marcacao/") + subpasta
                         : porPeriodo    ? pastaPerfil + QStringLiteral("/faturamento/") + subpasta
                                         : pastaPerfil;
    bool reaproveita = opcoes.mantemConexao && ftp.conectado() && !ftp.interrompido() && Geral::ATIVARFTP();
    if (!reaproveita) {
        log(QStringLiteral(" => Conectando ao servidor ftp..."));
        try {
            ConectaFtp(ftp);
        } catch (const std::exception&) {
            log(QStringLiteral(" => Não foi possível estabelecer a conexão com o servidor ftp!"));
        }
    }

    if (ftp.conectado()) {
        log(QStringLiteral(" => Transmitindo arquivo..."));
        for (;;) {
            QString entrando; // folder being entered; set while its change may fail
            try {
                for (;;) {
                    // On a kept connection: straight to the destination; the steps below (which
                    // create what is missing) only when that fails.
                    bool noDestino = false;
                    if (reaproveita) {
                        noDestino = ftp.pastaAtual() == alvo;
                        if (!noDestino && alvo != pastaPerfil) {
                            try {
                                ftp.mudaPasta(alvo);
                                noDestino = true;
                            } catch (const ErroFtp&) {
                                if (ftp.interrompido())
                                    throw;
                            }
                        }
                        if (!noDestino && ftp.pastaAtual() != pastaPerfil)
                            ftp.mudaPasta(pastaPerfil);
                    }
                    if ((porProfissional || porPeriodo) && !noDestino) {
                        entrando = porProfissional ? QStringLiteral("marcacao") : QStringLiteral("faturamento");
                        ftp.mudaPasta(entrando);
                        entrando = subpasta;
                        ftp.mudaPasta(entrando);
                        entrando.clear();
                    }
                    if (porPeriodo) {
                        CriaPastasTroca();
                        if (nomeNoFaturamento(ftp, ftp.listaNomes(QStringLiteral("*.xml")), local, arquivo, remoto) ==
                            Gemeo::JaRecebido) {
                            const QString marcado = local + QStringLiteral(" (ja existe)");
                            QFile::remove(marcado);
                            QFile::rename(local, marcado);
                            jaExiste = true;
                            break;
                        }
                    }
                    temporario = NomeTemporarioFtp();
                    // A run of uploads asks for the size with the store and waits only when it
                    // is not there yet; a single upload waits first.
                    bool logo = false;
                    if (reaproveita)
                        logo = ftp.enviaComTamanho(local, temporario) == tamanhoLocal;
                    else
                        ftp.envia(local, temporario);
                    if (!logo)
                        EsperaMs(100);
                    if (logo || ArquivoExisteFtp(ftp, temporario, tamanhoLocal)) {
                        colocaNoLugar(ftp, temporario, remoto);
                        temporario.clear();
                        enviado = true;
                        break;
                    }
                    descarta(ftp, temporario);
                    if (++tentativas >= 3)
                        throw ErroFtp(QStringLiteral("Não conseguiu criar o arquivo após 03 tentativas!"));
                    ftp.mudaPasta(pastaPerfil);
                }
                break;
            } catch (const std::exception& e) {
                const auto* ef = dynamic_cast<const ErroFtp*>(&e);
                const QString texto = ef ? ef->texto() : QString::fromUtf8(e.what());
                descarta(ftp, temporario);
                // Cancelled or out of time: no folder creation, no more attempts.
                const bool interrompido = ftp.interrompido();
                if (!interrompido && texto.contains(QLatin1String("directory"))) {
                    // The folder whose change failed; after a later failure, the destination folder.
                    try {
                        ftp.criaPasta(entrando.isEmpty() ? subpasta : entrando);
                    } catch (const std::exception&) {
                    }
                }
                if (!interrompido && ++tentativas <= 10) {
                    reaproveita = false;
                    try {
                        ftp.desconecta();
                        ConectaFtp(ftp);
                    } catch (const std::exception&) {
                    }
                    continue;
                }
                motivo = texto;
                log(QStringLiteral(" => FALHOU:") + QStringLiteral("[Dir:") + destino + QStringLiteral(" - ") + ftp.pastaAtual() +
                    QLatin1Char(']') + QLatin1Char('\n') + texto);
                break;
            }
        }
    }

    if (enviado) {
        log(remoto == arquivo ? QStringLiteral(" => Arquivo enviado OK!")
                              : QStringLiteral(" => Arquivo enviado OK como %1 (o consórcio já recebeu outra versão de %2).")
                                    .arg(remoto, arquivo));
        return true;
    }
    if (motivo.isEmpty() && !jaExiste) {
        // Not said by a line above yet.
        motivo = ftp.conectado() ? QStringLiteral("envio não concluído")
                 : Geral::ATIVARFTP() ? QStringLiteral("sem conexão com o servidor ftp")
                                      : QStringLiteral("FTP desativado nesta instalação (ATIVARFTP)");
        log(QStringLiteral(" => Motivo: ") + motivo);
    }
    if (opcoes.motivo)
        *opcoes.motivo = jaExiste ? QStringLiteral("o consórcio já recebeu este arquivo") : motivo;
    if (!jaExiste) {
        log(QStringLiteral(" => FALHOU!"));
        const QString copia = PastaErros() + arquivo;
        QFile::remove(copia);
        QFile::copy(local, copia);
    }
    return false;
}

} // namespace vx
