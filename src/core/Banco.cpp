#include "core/Banco.h"
#include "core/Texto1252.h"

#include <firebird/Interface.h>

#include <cerrno>
#include <cstring>

using namespace Firebird;

namespace vx {

namespace {

IMaster* master()
{
    static IMaster* m = fb_get_master_interface();
    return m;
}

IProvider* provider()
{
    static IProvider* p = master()->getDispatcher();
    return p;
}

IUtil* util()
{
    static IUtil* u = master()->getUtilInterface();
    return u;
}

// Owns one IStatus for the duration of a call and converts its errors into ErroBanco.
class Status {
public:
    Status() : m_st(master()->getStatus()), m_w(m_st) {}
    ~Status() { m_st->dispose(); }
    ThrowStatusWrapper* operator&() { return &m_w; }

private:
    IStatus* m_st;
    ThrowStatusWrapper m_w;
};

[[noreturn]] void lancaDe(const FbException& e)
{
    char buf[2048];
    const IStatus* st = e.getStatus();
    util()->formatStatus(buf, sizeof buf, const_cast<IStatus*>(st));
    QVector<qintptr> codigos;
    int sistema = 0;
    const intptr_t* v = st->getErrors();
    // Status vector: pairs of (arg type, value); isc_arg_gds carries an error code,
    // isc_arg_unix the system's errno (a Windows server's codes are left to the text).
    while (v && *v != isc_arg_end) {
        const intptr_t tipo = *v++;
        const intptr_t valor = *v++;
        if (tipo == isc_arg_gds)
            codigos.append(valor);
        else if (tipo == isc_arg_unix && sistema == 0)
            sistema = int(valor);
        else if (tipo == isc_arg_cstring)
            ++v; // length, then pointer
    }
    ErroBanco erro(de1252(QByteArray(buf)), codigos);
    erro.defineErroSistema(sistema);
    throw erro;
}

template <typename F>
auto fb(F&& f) -> decltype(f(std::declval<ThrowStatusWrapper*>()))
{
    Status st;
    try {
        return f(&st);
    } catch (const FbException& e) {
        lancaDe(e);
    }
}

QByteArray dpb(const QString& usuario, const QString& senha, bool criacao, bool escritaForcada = true)
{
    return fb([&](ThrowStatusWrapper* st) {
        IXpbBuilder* b = util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
        b->insertString(st, isc_dpb_user_name, usuario.toUtf8().constData());
        b->insertString(st, isc_dpb_password, senha.toUtf8().constData());
        b->insertString(st, isc_dpb_lc_ctype, "WIN1252");
        if (criacao) {
            b->insertInt(st, isc_dpb_sql_dialect, 3);
            b->insertString(st, isc_dpb_set_db_charset, "WIN1252");
            b->insertInt(st, isc_dpb_page_size, 16384);
            if (!escritaForcada)
                b->insertInt(st, isc_dpb_force_write, 0);
        }
        QByteArray out(reinterpret_cast<const char*>(b->getBuffer(st)), int(b->getBufferLength(st)));
        b->dispose();
        return out;
    });
}

QByteArray nomeArquivo(const QString& nome)
{
    // Paths are passed as the user wrote them; the file system takes UTF-8.
    return nome.toUtf8();
}

unsigned tipoBase(unsigned t) { return t & ~1u; }

} // namespace

// ---------------------------------------------------------------- ErroBanco

ErroBanco::ErroBanco(const QString& texto, QVector<qintptr> codigos)
    : std::runtime_error(texto.toStdString()), m_texto(texto), m_codigos(std::move(codigos))
{
}

bool ErroBanco::conflitoBloqueio() const
{
    return temCodigo(isc_lock_conflict) || temCodigo(isc_update_conflict) || temCodigo(isc_deadlock);
}

bool ErroBanco::chaveDuplicada() const
{
    return temCodigo(isc_unique_key_violation) || temCodigo(isc_no_dup);
}

FalhaConexao ClassificaFalhaConexao(const ErroBanco& e)
{
    const QString t = e.texto();
    if (e.temCodigo(isc_login) || e.temCodigo(isc_login_error))
        return FalhaConexao::SenhaRecusada;
    // The embedded engine of another process holds the file ("lock" I/O error, "already opened").
    if (e.temCodigo(isc_already_opened) || e.temCodigo(isc_obj_in_use) ||
        t.contains(QLatin1String("is in use"), Qt::CaseInsensitive) ||
        t.contains(QLatin1String("\"lock\" operation"), Qt::CaseInsensitive))
        return FalhaConexao::EmUso;
    // Firebird refuses a file it may not write ("no permission for read-write access").
    if (e.temCodigo(isc_no_priv) || e.temCodigo(isc_read_only_database) || e.erroSistema() == EROFS)
        return FalhaConexao::SomenteLeitura;
    // Not a database, a damaged one, or one cut short ("File size is less than expected").
    if (e.temCodigo(isc_bad_db_format) || e.temCodigo(isc_db_corrupt) || e.temCodigo(isc_corrupt) ||
        e.temCodigo(isc_badpage) || e.temCodigo(isc_bad_checksum) || e.temCodigo(isc_page_type_err) ||
        e.temCodigo(isc_io_read_err) || t.contains(QLatin1String("not a valid database"), Qt::CaseInsensitive) ||
        (e.temCodigo(isc_io_error) && t.contains(QLatin1String("\"read\" operation"), Qt::CaseInsensitive)))
        return FalhaConexao::Danificado;
    if (e.temCodigo(isc_io_open_err) &&
        (e.erroSistema() == ENOENT || e.erroSistema() == ENOTDIR ||
         t.contains(QLatin1String("No such file or directory"), Qt::CaseInsensitive) ||
         t.contains(QLatin1String("cannot find the"), Qt::CaseInsensitive))) // Windows server
        return FalhaConexao::ArquivoAusente;
    return FalhaConexao::Outra;
}

// ---------------------------------------------------------------- Conexao

Conexao::Conexao() = default;

Conexao::~Conexao()
{
    try {
        desconecta();
    } catch (...) {
    }
}

bool Conexao::ehServidor(const QString& nome)
{
    // A colon after the second character names a server ("host:path"); "C:\…" has it at index 1.
    return nome.indexOf(QLatin1Char(':'), 2) > 1;
}

void Conexao::conecta(const QString& nome, const QString& usuario, const QString& senha)
{
    desconecta();
    const QByteArray p = dpb(usuario, senha, false);
    const QByteArray arq = nomeArquivo(nome);
    m_att = fb([&](ThrowStatusWrapper* st) {
        return provider()->attachDatabase(st, arq.constData(), unsigned(p.size()),
                                          reinterpret_cast<const unsigned char*>(p.constData()));
    });
    m_nome = nome;
}

void Conexao::desconecta()
{
    if (!m_att)
        return;
    IAttachment* a = m_att;
    m_att = nullptr;
    try {
        fb([&](ThrowStatusWrapper* st) { a->detach(st); });
    } catch (const ErroBanco&) {
        a->release();
    }
}

void Conexao::criaBanco(const QString& nome, const QString& usuario, const QString& senha, bool escritaForcada)
{
    const QByteArray p = dpb(usuario, senha, true, escritaForcada);
    const QByteArray arq = nomeArquivo(nome);
    fb([&](ThrowStatusWrapper* st) {
        IAttachment* a = provider()->createDatabase(st, arq.constData(), unsigned(p.size()),
                                                    reinterpret_cast<const unsigned char*>(p.constData()));
        a->detach(st);
    });
}

void Conexao::defineEscritaForcada(const QString& nome, const QString& usuario, const QString& senha, bool ligada)
{
    QByteArray p = dpb(usuario, senha, false);
    p += char(isc_dpb_force_write);
    p += char(1);
    p += char(ligada ? 1 : 0);
    const QByteArray arq = nomeArquivo(nome);
    fb([&](ThrowStatusWrapper* st) {
        IAttachment* a = provider()->attachDatabase(st, arq.constData(), unsigned(p.size()),
                                                    reinterpret_cast<const unsigned char*>(p.constData()));
        a->detach(st);
    });
}

void Conexao::finaliza()
{
    try {
        fb([&](ThrowStatusWrapper* st) { provider()->shutdown(st, 0, fb_shutrsn_app_stopped); });
    } catch (const ErroBanco&) {
    }
}

// ---------------------------------------------------------------- Transacao

Transacao::Transacao(Conexao& con) : m_con(con) {}

Transacao::~Transacao()
{
    try {
        rollback();
    } catch (...) {
    }
}

void Transacao::inicia()
{
    rollback();
    if (!m_con.conectado())
        throw ErroBanco(QStringLiteral("Banco de dados não conectado"));
    static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                        isc_tpb_rec_version, isc_tpb_nowait};
    m_tra = fb([&](ThrowStatusWrapper* st) {
        return m_con.attachment()->startTransaction(st, sizeof tpb, tpb);
    });
}

void Transacao::commit()
{
    if (!m_tra)
        return;
    fb([&](ThrowStatusWrapper* st) { m_tra->commit(st); });
    m_tra = nullptr;
}

void Transacao::rollback()
{
    if (!m_tra)
        return;
    ITransaction* t = m_tra;
    m_tra = nullptr;
    try {
        fb([&](ThrowStatusWrapper* st) { t->rollback(st); });
    } catch (const ErroBanco&) {
        t->release();
        throw;
    }
}

void Transacao::executa(const QString& sql, const QVariantList& params)
{
    Consulta q(*this);
    q.executa(sql, params);
}

QVariant Transacao::valor(const QString& sql, const QVariantList& params)
{
    Consulta q(*this);
    q.abre(sql, params);
    if (q.eof() || q.numCampos() == 0)
        return {};
    return q.campo(0).variante();
}

// ---------------------------------------------------------------- Campo

QString Campo::texto() const
{
    if (nulo)
        return {};
    switch (tipo) {
    case Tipo::Texto:
    case Tipo::Blob:
        return s;
    case Tipo::Inteiro:
        return QString::number(i);
    case Tipo::Decimal:
        return Decimal(i, escala).toShortString(QLatin1Char(','));
    case Tipo::Real: {
        QString t = QString::number(d, 'g', 15);
        t.replace(QLatin1Char('.'), QLatin1Char(','));
        return t;
    }
    case Tipo::Data:
        return dt.toString(QStringLiteral("dd/MM/yyyy"));
    case Tipo::Hora:
        return tm.toString(QStringLiteral("HH:mm:ss"));
    case Tipo::DataHora:
        return dt.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') +
               tm.toString(QStringLiteral("HH:mm:ss"));
    case Tipo::Booleano:
        return i ? QStringLiteral("True") : QStringLiteral("False");
    case Tipo::Nulo:
        break;
    }
    return {};
}

qint64 Campo::inteiro() const
{
    if (nulo)
        return 0;
    switch (tipo) {
    case Tipo::Inteiro:
    case Tipo::Booleano:
        return i;
    case Tipo::Decimal:
        return Decimal(i, escala).rescaled(0).unscaled();
    case Tipo::Real:
        return qint64(d);
    case Tipo::Texto:
    case Tipo::Blob:
        return s.trimmed().toLongLong();
    default:
        return 0;
    }
}

Decimal Campo::decimal() const
{
    if (nulo)
        return Decimal(0, 2);
    switch (tipo) {
    case Tipo::Inteiro:
        return Decimal(i, 0);
    case Tipo::Decimal:
        return Decimal(i, escala);
    case Tipo::Real:
        return Decimal::parse(QString::number(d, 'f', 6)).value_or(Decimal());
    case Tipo::Texto:
        return Decimal::parse(s).value_or(Decimal());
    default:
        return Decimal();
    }
}

double Campo::real() const
{
    if (nulo)
        return 0;
    if (tipo == Tipo::Real)
        return d;
    return decimal().toDouble();
}

QDate Campo::data() const
{
    if (nulo)
        return {};
    if (tipo == Tipo::Data || tipo == Tipo::DataHora)
        return dt;
    if (tipo == Tipo::Texto)
        return QDate::fromString(s, QStringLiteral("dd/MM/yyyy"));
    return {};
}

QDateTime Campo::dataHora() const
{
    if (nulo)
        return {};
    if (tipo == Tipo::DataHora || tipo == Tipo::Data)
        return QDateTime(dt, tipo == Tipo::Data ? QTime(0, 0) : tm);
    return {};
}

bool Campo::booleano() const
{
    return !nulo && i != 0;
}

QVariant Campo::variante() const
{
    if (nulo)
        return {};
    switch (tipo) {
    case Tipo::Texto:
    case Tipo::Blob:
        return s;
    case Tipo::Inteiro:
        return i;
    case Tipo::Decimal:
        return Decimal(i, escala).toSql();
    case Tipo::Real:
        return d;
    case Tipo::Data:
        return dt;
    case Tipo::Hora:
        return tm;
    case Tipo::DataHora:
        return QDateTime(dt, tm);
    case Tipo::Booleano:
        return i != 0;
    case Tipo::Nulo:
        break;
    }
    return {};
}

// ---------------------------------------------------------------- Consulta

Consulta::Consulta(Transacao& tr) : m_tr(tr) {}

Consulta::~Consulta()
{
    try {
        fecha();
    } catch (...) {
    }
}

void Consulta::fecha()
{
    m_aberta = false;
    m_eof = true;
    if (m_rs) {
        IResultSet* r = m_rs;
        m_rs = nullptr;
        try {
            fb([&](ThrowStatusWrapper* st) { r->close(st); });
        } catch (const ErroBanco&) {
            r->release();
        }
    }
    if (m_meta) {
        m_meta->release();
        m_meta = nullptr;
    }
    if (m_stmt) {
        IStatement* s = m_stmt;
        m_stmt = nullptr;
        try {
            fb([&](ThrowStatusWrapper* st) { s->free(st); });
        } catch (const ErroBanco&) {
            s->release();
        }
    }
}

namespace {

// Builds an input message for the given parameters: texts, integers, dates, timestamps, decimals.
struct Entrada {
    IMessageMetadata* meta = nullptr;
    std::vector<unsigned char> buf;
    ~Entrada()
    {
        if (meta)
            meta->release();
    }
};

void preparaEntrada(ThrowStatusWrapper* st, IStatement* stmt, const QVariantList& params, Entrada& e)
{
    IMessageMetadata* in = stmt->getInputMetadata(st);
    const unsigned n = in->getCount(st);
    if (n != unsigned(params.size())) {
        in->release();
        throw ErroBanco(QStringLiteral("Número de parâmetros incorreto (%1 em vez de %2)")
                            .arg(params.size()).arg(n));
    }
    IMetadataBuilder* b = in->getBuilder(st);
    in->release();
    std::vector<QByteArray> textos(n);
    for (unsigned k = 0; k < n; ++k) {
        const QVariant& v = params[int(k)];
        switch (v.typeId()) {
        case QMetaType::QDate:
            b->setType(st, k, SQL_TYPE_DATE + 1);
            b->setLength(st, k, sizeof(ISC_DATE)); // the column's own length may differ
            break;
        case QMetaType::QDateTime:
            b->setType(st, k, SQL_TIMESTAMP + 1);
            b->setLength(st, k, sizeof(ISC_TIMESTAMP));
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            b->setType(st, k, SQL_INT64 + 1);
            b->setLength(st, k, sizeof(ISC_INT64));
            b->setScale(st, k, 0);
            break;
        default:
            textos[k] = para1252(v.toString());
            b->setType(st, k, SQL_VARYING + 1);
            b->setLength(st, k, unsigned(qMax<qsizetype>(1, textos[k].size())));
            b->setCharSet(st, k, 53); // WIN1252
            break;
        }
    }
    e.meta = b->getMetadata(st);
    b->release();
    e.buf.assign(e.meta->getMessageLength(st), 0);
    for (unsigned k = 0; k < n; ++k) {
        const QVariant& v = params[int(k)];
        unsigned char* p = e.buf.data() + e.meta->getOffset(st, k);
        short* nul = reinterpret_cast<short*>(e.buf.data() + e.meta->getNullOffset(st, k));
        *nul = v.isNull() ? -1 : 0;
        if (v.isNull())
            continue;
        switch (tipoBase(e.meta->getType(st, k))) {
        case SQL_TYPE_DATE: {
            const QDate d = v.toDate();
            *reinterpret_cast<ISC_DATE*>(p) = util()->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = v.toDateTime();
            ISC_TIMESTAMP* ts = reinterpret_cast<ISC_TIMESTAMP*>(p);
            ts->timestamp_date = util()->encodeDate(unsigned(dt.date().year()), unsigned(dt.date().month()), unsigned(dt.date().day()));
            ts->timestamp_time = util()->encodeTime(unsigned(dt.time().hour()), unsigned(dt.time().minute()),
                                                    unsigned(dt.time().second()), unsigned(dt.time().msec()) * 10);
            break;
        }
        case SQL_INT64:
            *reinterpret_cast<ISC_INT64*>(p) = v.toLongLong();
            break;
        default: {
            const QByteArray& t = textos[k];
            *reinterpret_cast<unsigned short*>(p) = static_cast<unsigned short>(t.size());
            std::memcpy(p + 2, t.constData(), size_t(t.size()));
            break;
        }
        }
    }
}

QString leBlob(ThrowStatusWrapper* st, IAttachment* att, ITransaction* tra, ISC_QUAD* id, bool binario)
{
    IBlob* blob = att->openBlob(st, tra, id, 0, nullptr);
    QByteArray dados;
    char seg[16384];
    for (;;) {
        unsigned lido = 0;
        const int r = blob->getSegment(st, sizeof seg, seg, &lido);
        if (r == IStatus::RESULT_OK || r == IStatus::RESULT_SEGMENT)
            dados.append(seg, int(lido));
        else
            break;
    }
    blob->close(st);
    return binario ? QString::fromLatin1(dados) : de1252(dados);
}

} // namespace

void Consulta::prepara(const QString& sql, const QVariantList& params)
{
    fecha();
    m_sql = sql;
    m_tr.garanteAtiva();
    const QByteArray texto = para1252(sql);
    m_stmt = fb([&](ThrowStatusWrapper* st) {
        // The length is given: a NUL inside a literal must not end the statement there.
        return m_tr.conexao().attachment()->prepare(st, m_tr.handle(), unsigned(texto.size()), texto.constData(), 3,
                                                    IStatement::PREPARE_PREFETCH_METADATA);
    });
    Q_UNUSED(params);
}

void Consulta::executa(const QString& sql, const QVariantList& params)
{
    prepara(sql, params);
    try {
        fb([&](ThrowStatusWrapper* st) {
            Entrada e;
            if (!params.isEmpty())
                preparaEntrada(st, m_stmt, params, e);
            const unsigned tipo = m_stmt->getType(st);
            if (tipo == isc_info_sql_stmt_select || tipo == isc_info_sql_stmt_select_for_upd) {
                // A SELECT run as a statement: open and close it (it still takes its locks).
                IResultSet* rs = m_stmt->openCursor(st, m_tr.handle(), e.meta, e.meta ? e.buf.data() : nullptr, nullptr, 0);
                rs->close(st);
                return;
            }
            IMessageMetadata* out = m_stmt->getOutputMetadata(st);
            std::vector<unsigned char> obuf(out->getMessageLength(st), 0);
            m_stmt->execute(st, m_tr.handle(), e.meta, e.meta ? e.buf.data() : nullptr, out, obuf.data());
            out->release();
        });
    } catch (...) {
        fecha();
        throw;
    }
    fecha();
}

void Consulta::abre(const QString& sql, const QVariantList& params)
{
    prepara(sql, params);
    try {
        fb([&](ThrowStatusWrapper* st) {
            Entrada e;
            if (!params.isEmpty())
                preparaEntrada(st, m_stmt, params, e);
            IMessageMetadata* out = m_stmt->getOutputMetadata(st);
            const unsigned n = out->getCount(st);
            // Ask for blobs as blobs and everything else as declared.
            m_meta = out;
            m_buf.assign(m_meta->getMessageLength(st), 0);
            m_campos.assign(n, Campo());
            for (unsigned k = 0; k < n; ++k) {
                const char* alias = m_meta->getAlias(st, k);
                m_campos[k].nome = QString::fromLatin1(alias).trimmed().toUpper();
            }
            const unsigned tipo = m_stmt->getType(st);
            if (tipo == isc_info_sql_stmt_select || tipo == isc_info_sql_stmt_select_for_upd) {
                m_rs = m_stmt->openCursor(st, m_tr.handle(), e.meta, e.meta ? e.buf.data() : nullptr, m_meta, 0);
            } else {
                // EXECUTE PROCEDURE / INSERT … RETURNING: one row of output.
                m_stmt->execute(st, m_tr.handle(), e.meta, e.meta ? e.buf.data() : nullptr, m_meta, m_buf.data());
            }
        });
    } catch (...) {
        fecha();
        throw;
    }
    m_aberta = true;
    m_eof = false;
    if (m_rs)
        proximo();
    else if (m_meta && m_campos.empty())
        m_eof = true;
    else
        leLinha();
}

void Consulta::reabre(const QVariantList& params)
{
    if (!m_stmt || !m_meta || !m_aberta)
        throw ErroBanco(QStringLiteral("Consulta não preparada"));
    if (m_rs) {
        IResultSet* r = m_rs;
        m_rs = nullptr;
        fb([&](ThrowStatusWrapper* st) { r->close(st); });
    }
    m_eof = true;
    try {
        fb([&](ThrowStatusWrapper* st) {
            Entrada e;
            if (!params.isEmpty())
                preparaEntrada(st, m_stmt, params, e);
            m_rs = m_stmt->openCursor(st, m_tr.handle(), e.meta, e.meta ? e.buf.data() : nullptr, m_meta, 0);
        });
    } catch (...) {
        fecha();
        throw;
    }
    m_eof = false;
    proximo();
}

void Consulta::proximo()
{
    if (!m_rs) {
        m_eof = true;
        return;
    }
    const int r = fb([&](ThrowStatusWrapper* st) { return m_rs->fetchNext(st, m_buf.data()); });
    if (r != IStatus::RESULT_OK) {
        m_eof = true;
        for (Campo& c : m_campos)
            c.nulo = true;
        return;
    }
    leLinha();
}

void Consulta::leLinha()
{
    fb([&](ThrowStatusWrapper* st) {
        for (unsigned k = 0; k < m_campos.size(); ++k) {
            Campo& c = m_campos[k];
            const unsigned char* p = m_buf.data() + m_meta->getOffset(st, k);
            const short nul = *reinterpret_cast<const short*>(m_buf.data() + m_meta->getNullOffset(st, k));
            const unsigned tipo = tipoBase(m_meta->getType(st, k));
            const int escala = m_meta->getScale(st, k);
            c.nulo = nul != 0;
            c.escala = -escala;
            switch (tipo) {
            case SQL_TEXT:
            case SQL_VARYING: {
                c.tipo = Campo::Tipo::Texto;
                if (c.nulo) { c.s.clear(); break; }
                const bool octetos = m_meta->getCharSet(st, k) == 1;
                if (tipo == SQL_VARYING) {
                    const unsigned short len = *reinterpret_cast<const unsigned short*>(p);
                    const char* d = reinterpret_cast<const char*>(p + 2);
                    c.s = octetos ? QString::fromLatin1(d, len) : de1252(d, len);
                } else {
                    const unsigned len = m_meta->getLength(st, k);
                    const char* d = reinterpret_cast<const char*>(p);
                    // CHAR is blank-padded; a multi-byte charset pads in bytes too.
                    c.s = octetos ? QString::fromLatin1(d, int(len)) : de1252(d, int(len));
                    while (c.s.endsWith(QLatin1Char(' ')))
                        c.s.chop(1);
                }
                break;
            }
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64: {
                qint64 v = 0;
                if (tipo == SQL_SHORT) v = *reinterpret_cast<const ISC_SHORT*>(p);
                else if (tipo == SQL_LONG) v = *reinterpret_cast<const ISC_LONG*>(p);
                else v = *reinterpret_cast<const ISC_INT64*>(p);
                c.i = c.nulo ? 0 : v;
                c.tipo = escala < 0 ? Campo::Tipo::Decimal : Campo::Tipo::Inteiro;
                if (escala > 0 && !c.nulo) { for (int e = 0; e < escala; ++e) c.i *= 10; c.escala = 0; }
                break;
            }
            case SQL_FLOAT:
                c.tipo = Campo::Tipo::Real;
                c.d = c.nulo ? 0 : double(*reinterpret_cast<const float*>(p));
                break;
            case SQL_DOUBLE:
            case SQL_D_FLOAT:
                c.tipo = Campo::Tipo::Real;
                c.d = c.nulo ? 0 : *reinterpret_cast<const double*>(p);
                break;
            case SQL_TYPE_DATE: {
                c.tipo = Campo::Tipo::Data;
                if (c.nulo) { c.dt = {}; break; }
                unsigned y, m, d;
                util()->decodeDate(*reinterpret_cast<const ISC_DATE*>(p), &y, &m, &d);
                c.dt = QDate(int(y), int(m), int(d));
                break;
            }
            case SQL_TYPE_TIME: {
                c.tipo = Campo::Tipo::Hora;
                if (c.nulo) { c.tm = {}; break; }
                unsigned h, mi, s, f;
                util()->decodeTime(*reinterpret_cast<const ISC_TIME*>(p), &h, &mi, &s, &f);
                c.tm = QTime(int(h), int(mi), int(s), int(f / 10));
                break;
            }
            case SQL_TIMESTAMP: {
                c.tipo = Campo::Tipo::DataHora;
                if (c.nulo) { c.dt = {}; c.tm = {}; break; }
                const ISC_TIMESTAMP* ts = reinterpret_cast<const ISC_TIMESTAMP*>(p);
                unsigned y, m, d, h, mi, s, f;
                util()->decodeDate(ts->timestamp_date, &y, &m, &d);
                util()->decodeTime(ts->timestamp_time, &h, &mi, &s, &f);
                c.dt = QDate(int(y), int(m), int(d));
                c.tm = QTime(int(h), int(mi), int(s), int(f / 10));
                break;
            }
            case SQL_BLOB: {
                c.tipo = Campo::Tipo::Blob;
                if (c.nulo) { c.s.clear(); break; }
                ISC_QUAD id = *reinterpret_cast<const ISC_QUAD*>(p);
                const bool binario = m_meta->getSubType(st, k) != 1;
                c.s = leBlob(st, m_tr.conexao().attachment(), m_tr.handle(), &id, binario);
                break;
            }
            case SQL_BOOLEAN:
                c.tipo = Campo::Tipo::Booleano;
                c.i = c.nulo ? 0 : (*p ? 1 : 0);
                break;
            default:
                c.tipo = Campo::Tipo::Nulo;
                c.nulo = true;
                break;
            }
        }
    });
}

const Campo& Consulta::campo(const QString& nome) const
{
    const QString n = nome.toUpper();
    for (const Campo& c : m_campos)
        if (c.nome == n)
            return c;
    throw ErroBanco(QStringLiteral("Campo não encontrado: ") + nome);
}

bool Consulta::temCampo(const QString& nome) const
{
    const QString n = nome.toUpper();
    for (const Campo& c : m_campos)
        if (c.nome == n)
            return true;
    return false;
}

QStringList Consulta::nomesCampos() const
{
    QStringList l;
    for (const Campo& c : m_campos)
        l << c.nome;
    return l;
}

QVector<QVector<Campo>> Consulta::todas()
{
    QVector<QVector<Campo>> linhas;
    while (!m_eof) {
        linhas.append(QVector<Campo>(m_campos.begin(), m_campos.end()));
        proximo();
    }
    return linhas;
}

Comando::Comando(Transacao& tr, const QString& sql) : m_tr(tr)
{
    m_tr.garanteAtiva();
    const QByteArray texto = para1252(sql);
    m_stmt = fb([&](ThrowStatusWrapper* st) {
        return m_tr.conexao().attachment()->prepare(st, m_tr.handle(), unsigned(texto.size()), texto.constData(), 3,
                                                    IStatement::PREPARE_PREFETCH_METADATA);
    });
}

Comando::~Comando()
{
    if (!m_stmt)
        return;
    try {
        fb([&](ThrowStatusWrapper* st) { m_stmt->free(st); });
    } catch (const ErroBanco&) {
        m_stmt->release();
    }
}

void Comando::executa(const QVariantList& params)
{
    fb([&](ThrowStatusWrapper* st) {
        Entrada e;
        preparaEntrada(st, m_stmt, params, e);
        m_stmt->execute(st, m_tr.handle(), e.meta, e.meta ? e.buf.data() : nullptr, nullptr, nullptr);
    });
}

// ---------------------------------------------------------------- backup service

namespace {

int curto(const unsigned char* p) { return int(p[0]) | (int(p[1]) << 8); }

} // namespace

void ExecutaBackup(const BackupServico& b)
{
    const bool saida = b.arquivo == QLatin1String("stdout");
    const QByteArray servico = b.servico.toUtf8();
    fb([&](ThrowStatusWrapper* st) {
        IXpbBuilder* a = util()->getXpbBuilder(st, IXpbBuilder::SPB_ATTACH, nullptr, 0);
        a->insertString(st, isc_spb_user_name, b.usuario.toUtf8().constData());
        a->insertString(st, isc_spb_password, b.senha.toUtf8().constData());
        IService* svc = nullptr;
        try {
            svc = provider()->attachServiceManager(st, servico.constData(), a->getBufferLength(st), a->getBuffer(st));
            a->dispose();
            a = nullptr;
            IXpbBuilder* s = util()->getXpbBuilder(st, IXpbBuilder::SPB_START, nullptr, 0);
            s->insertTag(st, isc_action_svc_backup);
            s->insertString(st, isc_spb_dbname, nomeArquivo(b.banco).constData());
            s->insertString(st, isc_spb_bkp_file, nomeArquivo(b.arquivo).constData());
            s->insertInt(st, isc_spb_options, isc_spb_bkp_ignore_limbo);
            if (!saida)
                s->insertTag(st, isc_spb_verbose);
            try {
                svc->start(st, s->getBufferLength(st), s->getBuffer(st));
            } catch (...) {
                s->dispose();
                throw;
            }
            s->dispose();

            // Lines (or backup data) until the service has nothing more; a failed backup comes
            // back as the error of a query.
            const unsigned char pede[] = {saida ? (unsigned char)isc_info_svc_to_eof : (unsigned char)isc_info_svc_line};
            std::vector<unsigned char> buf(saida ? 60000 : 16384);
            for (;;) {
                svc->query(st, 0, nullptr, sizeof pede, pede, unsigned(buf.size()), buf.data());
                const unsigned char* p = buf.data();
                const unsigned char* fim = p + buf.size();
                bool algo = false;
                bool pronto = true;
                while (p < fim && *p != isc_info_end) {
                    const unsigned char item = *p++;
                    if (item == isc_info_svc_line || item == isc_info_svc_to_eof) {
                        const int n = curto(p);
                        p += 2;
                        if (n > 0) {
                            algo = true;
                            if (item == isc_info_svc_line) {
                                if (b.aoLinha)
                                    b.aoLinha(de1252(QByteArray(reinterpret_cast<const char*>(p), n)));
                            } else if (b.aoDados) {
                                b.aoDados(reinterpret_cast<const char*>(p), n);
                            }
                        }
                        p += n;
                    } else if (item == isc_info_truncated || item == isc_info_data_not_ready
                               || item == isc_info_svc_timeout) {
                        pronto = false;
                    } else {
                        break;
                    }
                }
                if (!algo && pronto)
                    break;
            }
            svc->detach(st);
        } catch (...) {
            if (a)
                a->dispose();
            if (svc)
                svc->release();
            throw;
        }
    });
}

} // namespace vx
