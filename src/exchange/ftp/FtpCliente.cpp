#include "exchange/ftp/FtpCliente.h"
#include "core/UDMCune.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>

namespace vx {

namespace {

struct IniciaCurl {
    IniciaCurl() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

CURL* novoHandle()
{
    static IniciaCurl inicia;
    return curl_easy_init();
}

int codigoDe(const QString& linha)
{
    if (linha.size() < 3)
        return 0;
    bool ok = false;
    const int c = linha.left(3).toInt(&ok);
    return ok ? c : 0;
}

struct Lista {
    curl_slist* p = nullptr;
    ~Lista() { curl_slist_free_all(p); }
    void add(const QString& s) { p = curl_slist_append(p, s.toUtf8().constData()); }
};

} // namespace

ErroFtp::ErroFtp(const QString& texto, int codigoResposta, int codigoCurl)
    : std::runtime_error(texto.toStdString()), m_texto(texto), m_resposta(codigoResposta), m_curl(codigoCurl)
{
}

namespace {
constexpr qint64 kFolgaPrazo = 20; // ms
const char* const kCancelada = "Transferência cancelada pelo usuário";
const char* const kPrazo = "Tempo limite da transferência esgotado";
} // namespace

FtpCliente::FtpCliente() : m_curl(novoHandle()), m_multi(curl_multi_init()) {}

FtpCliente::~FtpCliente()
{
    curl_multi_cleanup(static_cast<CURLM*>(m_multi));
    curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

void FtpCliente::desconecta()
{
    if (m_ocupado)
        throw ErroFtp(QStringLiteral("Cliente ftp ocupado com outra transferência"));
    // The multi handle holds the connection cache: dropping it closes the connection (QUIT is
    // sent when possible).
    curl_multi_cleanup(static_cast<CURLM*>(m_multi));
    curl_easy_cleanup(static_cast<CURL*>(m_curl));
    m_curl = novoHandle();
    m_multi = curl_multi_init();
    m_conectado = false;
    m_pasta.clear();
}

int FtpCliente::roda()
{
    // Driven through the multi interface with a short wait: the easy interface of some libcurl
    // versions misses the readiness of a fresh data connection and sleeps a whole second.
    CURLM* m = static_cast<CURLM*>(m_multi);
    CURL* c = static_cast<CURL*>(m_curl);
    if (m_ocupado) // a window event tried to use the client during a transfer
        return CURLE_RECURSIVE_API_CALL;
    if (m_cancelado)
        return CURLE_ABORTED_BY_CALLBACK;
    m_ocupado = true;
    curl_multi_add_handle(m, c);
    int ativos = 1;
    CURLcode resultado = CURLE_OK;
    QElapsedTimer relogio;
    relogio.start();
    while (ativos > 0) {
        if (curl_multi_perform(m, &ativos) != CURLM_OK) {
            resultado = CURLE_FAILED_INIT;
            break;
        }
        if (ativos > 0 && m_cancelado) {
            // Removing the unfinished handle closes its connection.
            resultado = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        // Short waits while the data connection is being set up, longer ones afterwards.
        if (ativos > 0)
            curl_multi_poll(m, nullptr, 0, relogio.elapsed() < 200 ? 1 : 20, nullptr);
    }
    int restantes = 0;
    while (CURLMsg* msg = curl_multi_info_read(m, &restantes))
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == c)
            resultado = msg->data.result;
    curl_multi_remove_handle(m, c);
    m_ocupado = false;
    return resultado;
}

void FtpCliente::conecta(const QString& host, int porta, const QString& usuario, const QString& senha)
{
    desconecta();
    m_host = host;
    m_porta = porta;
    m_usuario = usuario;
    m_senha = senha;
    prepara(urlDe({}, {}));
    curl_easy_setopt(static_cast<CURL*>(m_curl), CURLOPT_NOBODY, 1L);
    executa(roda(), "conecta");
    m_conectado = true;
}

QString FtpCliente::pastaAtual() const
{
    return QLatin1Char('/') + m_pasta.join(QLatin1Char('/'));
}

QStringList FtpCliente::segmentos(const QString& pasta, const QStringList& base)
{
    QStringList r = pasta.startsWith(QLatin1Char('/')) ? QStringList() : base;
    for (const QString& s : pasta.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (s == QLatin1String("."))
            continue;
        if (s == QLatin1String("..")) {
            if (!r.isEmpty())
                r.removeLast();
            continue;
        }
        r << s;
    }
    return r;
}

QString FtpCliente::urlDe(const QStringList& segs, const QString& nome) const
{
    QString u = QStringLiteral("ftp://") + m_host + QLatin1Char(':') + QString::number(m_porta) + QLatin1Char('/');
    for (const QString& s : segs)
        u += QString::fromLatin1(QUrl::toPercentEncoding(s)) + QLatin1Char('/');
    if (!nome.isEmpty())
        u += QString::fromLatin1(QUrl::toPercentEncoding(nome));
    return u;
}

QString FtpCliente::url(const QString& nome) const
{
    return urlDe(m_pasta, nome);
}

void FtpCliente::prepara(const QString& url)
{
    if (m_ocupado)
        throw ErroFtp(QStringLiteral("Cliente ftp ocupado com outra transferência"));
    verificaInterrupcao();
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_reset(c); // keeps the open connection
    m_respostas.clear();
    m_recebido.clear();
    m_erroCurl[0] = 0;
    curl_easy_setopt(c, CURLOPT_URL, url.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_USERNAME, m_usuario.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, m_senha.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_erroCurl);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROXY, "");
    curl_easy_setopt(c, CURLOPT_FTP_USE_EPSV, m_epsv ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(m_tempoConexao));
    long resposta = m_tempoResposta;
    if (!m_prazo.isForever()) {
        // The deadline also bounds the waits libcurl makes without returning (the reply after a
        // transfer, QUIT when the connection is dropped). A little past it, so that curl's
        // time-out is always recognised as the deadline.
        const qint64 resta = std::max<qint64>(1, m_prazo.remainingTime()) + kFolgaPrazo;
        curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(resta));
        resposta = std::min<long>(resposta, long((resta + 999) / 1000));
    }
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, resposta);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(m_tempoLento));
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &FtpCliente::cabecalho);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &FtpCliente::grava);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &m_recebido);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &FtpCliente::progresso);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);
    static const bool verboso = qEnvironmentVariableIsSet("VORNEX_FTP_VERBOSE");
    if (verboso)
        curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
}

void FtpCliente::verificaInterrupcao() const
{
    if (m_cancelado)
        throw ErroFtp(QString::fromUtf8(kCancelada), 0, CURLE_ABORTED_BY_CALLBACK);
    if (m_prazo.hasExpired())
        throw ErroFtp(QString::fromUtf8(kPrazo), 0, CURLE_OPERATION_TIMEDOUT);
}

void FtpCliente::executa(int codigo, const char*)
{
    if (codigo == CURLE_OK)
        return;
    if (codigo == CURLE_ABORTED_BY_CALLBACK || codigo == CURLE_OPERATION_TIMEDOUT)
        verificaInterrupcao();
    // Server replies of 4xx/5xx are the texts callers look at; otherwise curl's own message.
    QString texto;
    int resposta = 0;
    if (!m_respostas.isEmpty() && codigoDe(m_respostas.last()) >= 400) {
        texto = m_respostas.last();
        resposta = codigoDe(texto);
    } else {
        texto = QString::fromUtf8(m_erroCurl[0] ? m_erroCurl : curl_easy_strerror(CURLcode(codigo)));
    }
    throw ErroFtp(texto, resposta, codigo);
}

size_t FtpCliente::cabecalho(char* buf, size_t tam, size_t n, void* ud)
{
    auto* self = static_cast<FtpCliente*>(ud);
    QString linha = QString::fromUtf8(buf, qsizetype(tam * n));
    while (linha.endsWith(QLatin1Char('\n')) || linha.endsWith(QLatin1Char('\r')))
        linha.chop(1);
    self->m_respostas << linha;
    return tam * n;
}

size_t FtpCliente::grava(char* buf, size_t tam, size_t n, void* ud)
{
    static_cast<QByteArray*>(ud)->append(buf, qsizetype(tam * n));
    return tam * n;
}

namespace {
size_t gravaArquivo(char* buf, size_t tam, size_t n, void* ud)
{
    const qint64 w = static_cast<QFile*>(ud)->write(buf, qint64(tam * n));
    return w < 0 ? 0 : size_t(w);
}
} // namespace

size_t FtpCliente::le(char* buf, size_t tam, size_t n, void* ud)
{
    const qint64 r = static_cast<QFile*>(ud)->read(buf, qint64(tam * n));
    return r < 0 ? CURL_READFUNC_ABORT : size_t(r);
}

int FtpCliente::progresso(void* ud, qint64 dltotal, qint64 dlnow, qint64 ultotal, qint64 ulnow)
{
    auto* self = static_cast<FtpCliente*>(ud);
    if (self->m_progresso)
        self->m_progresso(ultotal ? ulnow : dlnow, ultotal ? ultotal : dltotal);
    // Keep the window alive during long transfers, without pumping on every callback.
    const qint64 agora = QDateTime::currentMSecsSinceEpoch();
    if (agora - self->m_ultimoEventos >= 50) {
        self->m_ultimoEventos = agora;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    return self->interrompido() ? 1 : 0;
}

void FtpCliente::mudaPasta(const QString& pasta)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    const QStringList nova = segmentos(pasta, m_pasta);
    prepara(urlDe(nova, {}));
    curl_easy_setopt(static_cast<CURL*>(m_curl), CURLOPT_NOBODY, 1L);
    executa(roda(), "cwd");
    m_pasta = nova;
}

void FtpCliente::sobePasta()
{
    mudaPasta(QStringLiteral(".."));
}

void FtpCliente::comandos(const QStringList& cmds)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    prepara(url());
    Lista l;
    for (const QString& c : cmds)
        l.add(c);
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(c, CURLOPT_POSTQUOTE, l.p); // runs inside the current folder
    executa(roda(), "quote");
}

void FtpCliente::criaPasta(const QString& nome)
{
    comandos({QStringLiteral("MKD ") + nome});
}

void FtpCliente::removePasta(const QString& nome)
{
    comandos({QStringLiteral("RMD ") + nome});
}

void FtpCliente::renomeia(const QString& de, const QString& para)
{
    comandos({QStringLiteral("RNFR ") + de, QStringLiteral("RNTO ") + para});
}

void FtpCliente::apaga(const QString& nome)
{
    comandos({QStringLiteral("DELE ") + nome});
}

QStringList FtpCliente::listaNomes(const QString& mascara)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    prepara(url());
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_setopt(c, CURLOPT_DIRLISTONLY, 1L);
    try {
        executa(roda(), "nlst");
    } catch (const ErroFtp& e) {
        if (e.codigoResposta() == 450 || e.codigoResposta() == 550)
            return {};
        throw;
    }
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(mascara.isEmpty() ? QStringLiteral("*") : mascara),
                                QRegularExpression::CaseInsensitiveOption);
    QStringList r;
    for (QByteArray linha : m_recebido.split('\n')) {
        if (linha.endsWith('\r'))
            linha.chop(1);
        if (linha.isEmpty())
            continue;
        QString nome = QString::fromUtf8(linha);
        const int barra = nome.lastIndexOf(QLatin1Char('/'));
        if (barra >= 0)
            nome = nome.mid(barra + 1);
        if (re.match(nome).hasMatch())
            r << nome;
    }
    return r;
}

QStringList FtpCliente::listaDetalhada(const QString& nome)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    prepara(url());
    CURL* c = static_cast<CURL*>(m_curl);
    const QByteArray cmd = (nome.isEmpty() ? QStringLiteral("LIST") : QStringLiteral("LIST ") + nome).toUtf8();
    if (!nome.isEmpty())
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, cmd.constData());
    try {
        executa(roda(), "list");
    } catch (const ErroFtp& e) {
        if (e.codigoResposta() == 450 || e.codigoResposta() == 550)
            return {};
        throw;
    }
    QStringList r;
    for (QByteArray linha : m_recebido.split('\n')) {
        if (linha.endsWith('\r'))
            linha.chop(1);
        if (!linha.isEmpty())
            r << QString::fromUtf8(linha);
    }
    return r;
}

void FtpCliente::armazena(const QString& local, const QString& remoto, bool anexar, const QStringList& depois)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    QFile f(local);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroFtp(QStringLiteral("Não foi possível abrir o arquivo ") + local);
    prepara(url(remoto));
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &FtpCliente::le);
    curl_easy_setopt(c, CURLOPT_READDATA, &f);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(f.size()));
    if (anexar)
        curl_easy_setopt(c, CURLOPT_APPEND, 1L);
    Lista comandos;
    for (const QString& d : depois)
        comandos.add(d);
    if (comandos.p)
        curl_easy_setopt(c, CURLOPT_POSTQUOTE, comandos.p);
    executa(roda(), "stor");
}

void FtpCliente::envia(const QString& local, const QString& remoto, bool anexar)
{
    armazena(local, remoto, anexar, {});
}

qint64 FtpCliente::enviaComTamanho(const QString& local, const QString& remoto)
{
    // "*": a server without SIZE is no failure. Its reply ("213 <size>") is the last one.
    armazena(local, remoto, false, {QStringLiteral("*SIZE ") + remoto});
    const QString r = ultimaResposta();
    if (!r.startsWith(QLatin1String("213 ")))
        return -1;
    bool ok = false;
    const qint64 t = r.mid(4).trimmed().toLongLong(&ok);
    return ok ? t : -1;
}

void FtpCliente::recebe(const QString& remoto, const QString& local, bool continuar)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    QFile f(local);
    const bool existia = f.exists();
    const qint64 inicio = continuar && existia ? f.size() : 0;
    if (!f.open(inicio > 0 ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate))
        throw ErroFtp(QStringLiteral("Não foi possível criar o arquivo ") + local);
    prepara(url(remoto));
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &gravaArquivo);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &f);
    if (inicio > 0)
        curl_easy_setopt(c, CURLOPT_RESUME_FROM_LARGE, curl_off_t(inicio));
    const CURLcode r = CURLcode(roda());
    f.close();
    if (r != CURLE_OK && !existia && f.size() == 0)
        f.remove(); // nothing arrived: leave no empty file behind
    executa(r, "retr");
}

qint64 FtpCliente::tamanho(const QString& nome)
{
    if (!m_conectado)
        throw ErroFtp(QStringLiteral("Não conectado ao servidor ftp"));
    prepara(url(nome));
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    try {
        executa(roda(), "size");
    } catch (const ErroFtp& e) {
        if (e.codigoCurl() == CURLE_REMOTE_FILE_NOT_FOUND || e.codigoResposta() == 550)
            return -1;
        throw;
    }
    curl_off_t t = -1;
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &t);
    return qint64(t);
}

FtpCliente& ClienteFtpCompartilhado()
{
    static FtpCliente cliente;
    if (TDMCUNE* dm = DMCUNE())
        dm->IdFTP1 = &cliente;
    return cliente;
}

} // namespace vx
