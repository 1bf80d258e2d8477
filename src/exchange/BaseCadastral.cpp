#include "exchange/BaseCadastral.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Texto1252.h"
#include "core/UFunc.h"
#include "exchange/MensagemXml.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>

namespace vx {

const QStringList& TabelasBase()
{
    static const QStringList t{QStringLiteral("entidades"),     QStringLiteral("profissionais"),
                               QStringLiteral("entidadesprofiss"), QStringLiteral("gruposproced"),
                               QStringLiteral("procedimentos"),  QStringLiteral("profissproced")};
    return t;
}

// ---------------------------------------------------------------- writing

QString EscapaBase(const QString& valor)
{
    QString r;
    r.reserve(valor.size() + 8);
    for (const QChar c : valor) {
        const char16_t u = c.unicode();
        if (u == '&')
            r += QLatin1Char('e');
        else if (u == '<')
            r += QLatin1String("&lt;");
        else if (u == '>')
            r += QLatin1String("&gt;");
        else if (u == '\r')
            r += QLatin1String("&#13;"); // a parser would turn a bare CR into LF
        else if (u < 0x20 && u != '\t' && u != '\n')
            continue;
        else if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        else if (u > 0xFF)
            r += QString::fromLatin1(paraLatin1(QString(c))); // the closest Latin-1 character, as in messages
        else
            r += c;
    }
    return r;
}

namespace {

const char* const kColunasEntidades[] = {"CEP",          "CNPJ",         "CODIGO",     "CODMUN",      "DATAEXCLUSAO",
                                         "ENDERECO",     "FONES",        "NOMEFANTASIA", "OCULTARMUNIC", "RAZAOSOCIAL"};

class Escrita {
public:
    explicit Escrita(const QDateTime& agora)
    {
        m_out.reserve(1 << 20);
        m_out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                 "<cabecalho><respEnvio>BASE CUNE</respEnvio><dtEnvio>";
        m_out += agora.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")).toLatin1();
        m_out += "</dtEnvio></cabecalho>";
    }
    void abre(const QByteArray& nome) { m_out += '<' + nome + '>'; }
    void fecha(const QByteArray& nome) { m_out += "</" + nome + '>'; }
    void det(int seq) { m_out += "<det nSeq='" + QByteArray::number(seq) + "'>"; }
    void elemento(const QByteArray& nome, const QString& valor)
    {
        m_out += '<' + nome + '>';
        m_out += EscapaBase(valor).toLatin1();
        m_out += "</" + nome + '>';
    }
    QByteArray fim()
    {
        m_out += "</mensagemVXO>";
        return std::move(m_out);
    }

private:
    QByteArray m_out;
};

// Column names of a table as the catalogue has them, in position order.
QStringList nomesColunas(Transacao& tr, const QString& tabela)
{
    QStringList r;
    for (const ColunaBase& c : ColunasLocais(tr, tabela))
        r << c.nome;
    return r;
}

void escreveTabela(Transacao& tr, Escrita& e, const QString& tabela)
{
    QStringList colunas;
    if (tabela == QLatin1String("entidades")) {
        const QStringList locais = nomesColunas(tr, tabela);
        for (const char* c : kColunasEntidades)
            if (locais.contains(QLatin1String(c)))
                colunas << QLatin1String(c);
    } else {
        colunas = nomesColunas(tr, tabela);
        std::sort(colunas.begin(), colunas.end());
    }
    const QString visivel = QStringLiteral("(%1ocultarmunic is null or %1ocultarmunic='N')");
    QString sql;
    if (tabela == QLatin1String("entidades"))
        sql = QStringLiteral("select * from entidades WHERE ") + visivel.arg(QString());
    else if (tabela == QLatin1String("entidadesprofiss") || tabela == QLatin1String("profissproced"))
        sql = QStringLiteral("select %1.* from %1 inner join entidades e on %1.codentidade=e.codigo and ").arg(tabela) +
              visivel.arg(QStringLiteral("e."));
    else
        sql = QStringLiteral("select * from ") + tabela;
    sql += QStringLiteral(" order by 1");

    const QByteArray secao = tabela.toLatin1();
    e.abre(secao);
    Consulta q(tr);
    q.abre(sql);
    QVector<int> indices;
    QVector<QByteArray> nomes;
    for (const QString& c : colunas) {
        const int i = q.nomesCampos().indexOf(c);
        if (i >= 0) {
            indices << i;
            nomes << c.toLower().toLatin1();
        }
    }
    int seq = 0;
    for (; !q.eof(); q.proximo()) {
        e.det(++seq);
        for (int k = 0; k < indices.size(); ++k)
            e.elemento(nomes[k], FormatoTroca::campo(q.campo(indices[k])));
        e.fecha("det");
    }
    e.fecha(secao);
}

} // namespace

QByteArray MontaBaseCune(Transacao& tr, const QDate& dataAtual, const QDateTime& agora)
{
    tr.garanteAtiva();
    Escrita e(agora);
    // Limits of this year and the next, by municipality.
    struct Limite {
        QString periodo, valor, obs;
    };
    QHash<QString, QVector<Limite>> limites;
    {
        const int ano = dataAtual.year();
        Consulta q(tr);
        q.abre(QStringLiteral("SELECT * FROM CLILIMITES WHERE (PERIODO like %1 OR PERIODO LIKE %2) order by CODCLIENTE, "
                              "substring(PERIODO from 4 for 4), PERIODO")
                   .arg(SqlTexto(QStringLiteral("%") + QString::number(ano)),
                        SqlTexto(QStringLiteral("%") + QString::number(ano + 1))));
        for (; !q.eof(); q.proximo())
            limites[q.campo(QStringLiteral("CODCLIENTE")).texto()].append(
                {q.campo(QStringLiteral("PERIODO")).texto(),
                 FormataValor(q.campo(QStringLiteral("VALOR")).decimal(), QStringLiteral("#####0.00")),
                 q.campo(QStringLiteral("OBS")).texto()});
    }
    e.abre("municipios");
    {
        Consulta q(tr);
        q.abre(QStringLiteral("select * from Clientes order by Nome"));
        static const char* const campos[] = {"codigo", "nome", "contato", "fones", "cnpj", "populacao", "cep",
                                             "apac",   "mostrarvalor", "obs"};
        int seq = 0;
        for (; !q.eof(); q.proximo()) {
            e.det(++seq);
            for (const char* c : campos)
                e.elemento(c, q.temCampo(QLatin1String(c)) ? FormatoTroca::campo(q.campo(QLatin1String(c))) : QString());
            for (const Limite& l : limites.value(q.campo(QStringLiteral("CODIGO")).texto())) {
                e.abre("detLimites");
                e.elemento("periodo", l.periodo);
                e.elemento("valor", l.valor);
                e.elemento("obs", l.obs);
                e.fecha("detLimites");
            }
            e.fecha("det");
        }
    }
    e.fecha("municipios");
    for (const QString& t : TabelasBase())
        escreveTabela(tr, e, t);
    return e.fim();
}

QByteArray MontaBaseGlosas(Transacao& tr, const QDateTime& agora)
{
    tr.garanteAtiva();
    Escrita e(agora);
    e.abre("glosas");
    Consulta q(tr);
    q.abre(QStringLiteral("select * from Marcacao where databloqueio > current_date-60 order by cli_origem, id_marcacao"));
    int seq = 0;
    for (; !q.eof(); q.proximo()) {
        e.det(++seq);
        e.elemento("chaveimpre", q.campo(QStringLiteral("CHAVEIMPRE")).texto());
        e.elemento("datarealizacao", FormatoTroca::campo(q.campo(QStringLiteral("DATAREALIZACAO"))));
        e.elemento("databloqueio", FormatoTroca::campo(q.campo(QStringLiteral("DATABLOQUEIO"))));
        e.fecha("det");
    }
    e.fecha("glosas");
    return e.fim();
}

// ---------------------------------------------------------------- values

ClasseColuna ClasseDoTipo(const QString& tipo)
{
    const QString t = tipo.trimmed().toUpper();
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("BLOB")))
        return ClasseColuna::Texto;
    if (t.contains(QLatin1String("DAT")) || t.contains(QLatin1String("TIME")))
        return ClasseColuna::Data;
    if (t == QLatin1String("INTEGER"))
        return ClasseColuna::Inteiro;
    return ClasseColuna::Numero;
}

QString ValorSqlBase(ClasseColuna classe, const QString& texto)
{
    switch (classe) {
    case ClasseColuna::Texto:
        return SqlTexto(texto);
    case ClasseColuna::Data:
        return texto.trimmed().isEmpty() ? QStringLiteral("null") : SqlData(texto.trimmed());
    case ClasseColuna::Inteiro:
        return SqlInteiro(texto);
    case ClasseColuna::Numero:
        break;
    }
    return SqlDecimal(texto.trimmed());
}

QVector<ColunaBase> ColunasLocais(Transacao& tr, const QString& tabela)
{
    QVector<ColunaBase> r;
    Consulta q(tr);
    q.abre(QStringLiteral(
               "SELECT R.RDB$FIELD_NAME AS NomeCampo,CASE F.RDB$FIELD_TYPE WHEN 7 THEN 'SMALLINT' WHEN 8 THEN 'INTEGER' "
               "WHEN 9 THEN 'QUAD' WHEN 10 THEN 'FLOAT' WHEN 11 THEN 'D_FLOAT' WHEN 12 THEN 'DATE' WHEN 13 THEN 'TIME' "
               "WHEN 14 THEN 'CHAR' WHEN 16 THEN 'INT64' WHEN 27 THEN 'DOUBLE' WHEN 35 THEN 'TIMESTAMP' WHEN 37 THEN "
               "'VARCHAR' WHEN 40 THEN 'CSTRING' WHEN 261 THEN 'BLOB' ELSE 'UNKNOWN' END AS TipoCampo FROM "
               "RDB$RELATION_FIELDS R LEFT JOIN RDB$FIELDS F ON R.RDB$FIELD_SOURCE = F.RDB$FIELD_NAME WHERE "
               "lower(R.RDB$RELATION_NAME) = %1 ORDER BY R.RDB$FIELD_POSITION")
               .arg(SqlTexto(tabela.toLower())));
    for (; !q.eof(); q.proximo()) {
        ColunaBase c;
        c.nome = q.campo(0).texto().trimmed().toUpper();
        c.tipo = q.campo(1).texto().trimmed();
        c.classe = ClasseDoTipo(c.tipo);
        r << c;
    }
    return r;
}

namespace {

QString texto(const RegistroBase& r, const char* nome) { return SqlTexto(r.valor(QLatin1String(nome))); }

// Every quoted literal, then the rest, joined by ",".
struct Valores {
    QStringList v;
    Valores& operator<<(const QString& s)
    {
        v << s;
        return *this;
    }
    QString sql(const QString& inicio) const { return inicio + v.join(QLatin1Char(',')) + QLatin1Char(')'); }
};

} // namespace

QString SqlClienteBase(const RegistroBase& r, bool completo)
{
    Valores v;
    v << texto(r, "codigo") << texto(r, "nome") << texto(r, "contato") << texto(r, "fones") << texto(r, "obs")
      << texto(r, "cnpj") << SqlDecimal(r.valor(QStringLiteral("populacao")).trimmed()) << texto(r, "cep");
    if (!completo)
        return v.sql(QStringLiteral("update or insert into clientes(codigo, nome, contato, fones, obs, cnpj, populacao, "
                                    "cep) values("));
    v << texto(r, "apac") << texto(r, "mostrarvalor");
    return v.sql(QStringLiteral("update or insert into clientes(codigo, nome, contato, fones, obs, cnpj, populacao, cep, "
                                "apac, mostrarvalor) values("));
}

QStringList SqlLimitesBase(const RegistroBase& r)
{
    QStringList out;
    const QString cliente = texto(r, "codigo");
    for (const QHash<QString, QString>& l : r.limites) {
        Valores v;
        v << cliente << SqlTexto(l.value(QStringLiteral("periodo"))) << SqlDecimal(l.value(QStringLiteral("valor")).trimmed())
          << SqlTexto(l.value(QStringLiteral("obs")));
        out << v.sql(QStringLiteral("update or insert into clilimites(codcliente, periodo, valor, obs) values("));
    }
    return out;
}

namespace {

QStringList valoresLinha(const QVector<ColunaBase>& colunas, const RegistroBase& r)
{
    QStringList v;
    v.reserve(colunas.size());
    for (const ColunaBase& c : colunas) {
        try {
            v << ValorSqlBase(c.classe, r.valor(c.nome.toLower()));
        } catch (const ErroValor& e) {
            throw ErroValor(c.nome.toLower() + QStringLiteral(": ") + e.texto());
        }
    }
    return v;
}

QString sqlLinha(const QString& tabela, const QVector<ColunaBase>& colunas, const QStringList& valores)
{
    QStringList nomes;
    for (const ColunaBase& c : colunas)
        nomes << c.nome.toLower();
    return QStringLiteral("update or insert into ") + tabela + QLatin1Char('(') + nomes.join(QLatin1Char(',')) +
           QStringLiteral(") values(") + valores.join(QLatin1Char(',')) + QLatin1Char(')');
}

} // namespace

QString SqlLinhaBase(const QString& tabela, const QVector<ColunaBase>& colunas, const RegistroBase& r)
{
    return sqlLinha(tabela, colunas, valoresLinha(colunas, r));
}

QString SqlGlosaBase(const RegistroBase& r)
{
    return QStringLiteral("update marcacao set datarealizacao=null, data_digitacao=null, data_importacao=null where "
                          "chaveimpre=") +
           texto(r, "chaveimpre") + QStringLiteral(" and data_digitacao < ") +
           ValorSqlBase(ClasseColuna::Data, r.valor(QStringLiteral("databloqueio")));
}

QString GravaErroImportacao(const QString& sql, const QString& erro, const QDateTime& agora)
{
    const QString caminho =
        CaminhoInstalacao(QStringLiteral("erro importacao ") + agora.time().toString(QStringLiteral("HHmmss")) + QStringLiteral(".txt"));
    QSaveFile f(caminho);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(para1252(sql) + "\r\n");
    if (!erro.isEmpty())
        f.write(para1252(QStringLiteral("Erro: ") + erro) + "\r\n");
    return f.commit() ? caminho : QString();
}

// ---------------------------------------------------------------- reading

namespace {

// A base file read as a stream: the sections under the root, and the det elements of a section.
class LeitorBase {
public:
    explicit LeitorBase(const QString& caminho) : m_nome(QFileInfo(caminho).fileName()), m_arquivo(caminho)
    {
        if (!m_arquivo.open(QIODevice::ReadOnly))
            throw ErroMensagem(QStringLiteral("Não foi possível abrir o arquivo ") + caminho + QStringLiteral(": ") +
                               m_arquivo.errorString());
        m_xml.setDevice(&m_arquivo);
        // Up to the root element.
        for (;;) {
            const auto t = proximo();
            if (t == QXmlStreamReader::StartDocument) {
                const QString cod = m_xml.documentEncoding().toString().toUpper();
                if (!cod.isEmpty() && cod != QLatin1String("ISO-8859-1") && cod != QLatin1String("WINDOWS-1252") &&
                    cod != QLatin1String("UTF-8") && cod != QLatin1String("US-ASCII") && cod != QLatin1String("LATIN1"))
                    falha(QStringLiteral("codificação %1 não aceita").arg(cod));
            } else if (t == QXmlStreamReader::StartElement) {
                break;
            } else if (t == QXmlStreamReader::EndDocument) {
                falha(QStringLiteral("arquivo vazio"));
            }
        }
    }

    const QString& nome() const { return m_nome; }

    // Next element under the root; false once the root has ended (the rest of the file checked).
    bool proximaSecao(QString& secao)
    {
        for (;;) {
            const auto t = proximo();
            if (t == QXmlStreamReader::StartElement) {
                secao = m_xml.name().toString().toLower();
                m_seq = 0;
                return true;
            }
            if (t == QXmlStreamReader::EndElement) {
                // The root: nothing but comments may follow.
                while (proximo() != QXmlStreamReader::EndDocument) {
                }
                return false;
            }
        }
    }

    // Next det of the current section; false at the section's end.
    bool proximoRegistro(RegistroBase& r)
    {
        for (;;) {
            const auto t = proximo();
            if (t == QXmlStreamReader::EndElement)
                return false;
            if (t != QXmlStreamReader::StartElement)
                continue;
            if (m_xml.name() != QLatin1String("det")) {
                pula();
                continue;
            }
            r.seq = ++m_seq;
            r.campos.clear();
            r.limites.clear();
            leFilhos(r.campos, &r.limites);
            return true;
        }
    }

    void pulaSecao()
    {
        RegistroBase r;
        while (proximoRegistro(r)) {
        }
    }

private:
    [[noreturn]] void falha(const QString& motivo) const
    {
        throw ErroMensagem(QStringLiteral("Arquivo %1 inválido: %2").arg(m_nome, motivo));
    }

    QXmlStreamReader::TokenType proximo()
    {
        const auto t = m_xml.readNext();
        if (m_xml.hasError()) {
            if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                falha(QStringLiteral("o arquivo termina antes do fim (incompleto)"));
            falha(QStringLiteral("%1 (linha %2, coluna %3)")
                      .arg(m_xml.errorString())
                      .arg(m_xml.lineNumber())
                      .arg(m_xml.columnNumber()));
        }
        if (t == QXmlStreamReader::DTD)
            falha(QStringLiteral("declarações DOCTYPE e ENTITY não são aceitas"));
        if (t == QXmlStreamReader::EntityReference)
            falha(QStringLiteral("entidade &%1; não aceita").arg(m_xml.name()));
        return t;
    }

    void pula()
    {
        for (int nivel = 1; nivel > 0;) {
            const auto t = proximo();
            if (t == QXmlStreamReader::StartElement)
                ++nivel;
            else if (t == QXmlStreamReader::EndElement)
                --nivel;
        }
    }

    // Text of the current element (its nested elements' text included).
    QString textoElemento()
    {
        QString s;
        for (int nivel = 1; nivel > 0;) {
            const auto t = proximo();
            if (t == QXmlStreamReader::Characters)
                s += m_xml.text();
            else if (t == QXmlStreamReader::StartElement)
                ++nivel;
            else if (t == QXmlStreamReader::EndElement)
                --nivel;
        }
        return s;
    }

    void leFilhos(QHash<QString, QString>& campos, QVector<QHash<QString, QString>>* limites)
    {
        for (;;) {
            const auto t = proximo();
            if (t == QXmlStreamReader::EndElement)
                return;
            if (t != QXmlStreamReader::StartElement)
                continue;
            const QString nome = m_xml.name().toString();
            if (limites && nome == QLatin1String("detLimites")) {
                limites->append(QHash<QString, QString>());
                leFilhos(limites->last(), nullptr);
            } else {
                campos.insert(nome.toLower(), textoElemento());
            }
        }
    }

    QString m_nome;
    QFile m_arquivo;
    QXmlStreamReader m_xml;
    int m_seq = 0;
};

// Rethrows a refused value with its place in the file.
template <typename F>
void noRegistro(const LeitorBase& l, const QString& secao, const RegistroBase& r, F f)
{
    try {
        f();
    } catch (const ErroValor& e) {
        throw ErroValor(QStringLiteral("Arquivo %1, %2, registro %3: %4").arg(l.nome(), secao).arg(r.seq).arg(e.texto()));
    }
}

QString normalizaNumero(QString s)
{
    if (s.startsWith(QLatin1Char('+')))
        s.remove(0, 1);
    const bool negativo = s.startsWith(QLatin1Char('-'));
    if (negativo)
        s.remove(0, 1);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    int z = 0;
    while (z < s.size() - 1 && s[z] == QLatin1Char('0') && s[z + 1] != QLatin1Char('.'))
        ++z;
    s.remove(0, z);
    if (s.isEmpty() || s == QLatin1String("0"))
        return QStringLiteral("0");
    return negativo ? QLatin1Char('-') + s : s;
}

// The value of a file literal as compared with a stored one.
QString comparavel(const ColunaBase& c, const QString& literal)
{
    return c.classe == ClasseColuna::Numero && literal != QLatin1String("null") ? normalizaNumero(literal) : literal;
}

// A stored value in the form comparavel() gives the literal that would store it; "~" when no
// literal of the file's forms stores exactly that value.
QString comparavelLocal(const ColunaBase& c, const Campo& v)
{
    if (v.nulo)
        return QStringLiteral("null");
    try {
        switch (c.classe) {
        case ClasseColuna::Inteiro:
            return QString::number(v.inteiro()); // 0 differs from the file's 0, which stores null
        case ClasseColuna::Texto:
            return SqlTexto(v.texto());
        case ClasseColuna::Data:
            if (v.tipo == Campo::Tipo::DataHora && (v.tm.second() != 0 || v.tm.msec() != 0))
                return QStringLiteral("~");
            if (v.tipo != Campo::Tipo::Data && v.tipo != Campo::Tipo::DataHora)
                return QStringLiteral("~");
            return SqlData(v.texto());
        case ClasseColuna::Numero:
            return normalizaNumero(SqlDecimal(v.texto()));
        }
    } catch (const ErroValor&) {
    }
    return QStringLiteral("~");
}

QStringList chavePrimaria(Transacao& tr, const QString& tabela)
{
    QStringList r;
    Consulta q(tr);
    q.abre(QStringLiteral("select s.rdb$field_name from rdb$relation_constraints c join rdb$index_segments s on "
                          "s.rdb$index_name=c.rdb$index_name where c.rdb$relation_name=%1 and "
                          "c.rdb$constraint_type='PRIMARY KEY' order by s.rdb$field_position")
               .arg(SqlTexto(tabela.toUpper())));
    for (; !q.eof(); q.proximo())
        r << q.campo(0).texto().trimmed().toUpper();
    return r;
}

const QChar kSep(0x1F);

class Importacao {
public:
    Importacao(Transacao& tr, const AvisosBase& a, const QDateTime& agora) : m_tr(tr), m_avisos(a), m_agora(agora) {}

    void linha(const QString& t) const
    {
        if (m_avisos.status)
            m_avisos.status(t);
    }

    bool municipios(LeitorBase& l, bool completo)
    {
        try {
            m_tr.inicia();
            RegistroBase r;
            while (l.proximoRegistro(r)) {
                m_tr.executa(SqlClienteBase(r, completo));
                if (completo)
                    for (const QString& s : SqlLimitesBase(r))
                        m_tr.executa(s);
            }
            m_tr.commit();
            linha(QStringLiteral(" => Atualização da Tabela Municipios...(OK)"));
            return true;
        } catch (const ErroBanco& e) {
            m_tr.rollback();
            linha(QStringLiteral(" => Atualização da Tabela Municipios...(FALHOU!)"));
            linha(QStringLiteral(" => Erro: ") + e.texto());
            l.pulaSecao();
            return false;
        }
    }

    bool tabela(LeitorBase& l, const QString& tabela, ResultadoBase& res)
    {
        struct Local {
            QString valores;
            bool ativa = false;
            bool vista = false;
        };
        bool lendo = false;
        try {
            m_tr.inicia();
            const QVector<ColunaBase> colunas = ColunasLocais(m_tr, tabela);
            const QStringList pk = chavePrimaria(m_tr, tabela);
            QVector<int> posChave;
            int posExclusao = -1;
            QStringList nomes;
            for (int i = 0; i < colunas.size(); ++i) {
                nomes << colunas[i].nome;
                if (pk.contains(colunas[i].nome))
                    posChave << i;
                if (colunas[i].nome == QLatin1String("DATAEXCLUSAO") && tabela != QLatin1String("gruposproced"))
                    posExclusao = i;
            }
            if (posChave.isEmpty() || posChave.size() != pk.size())
                throw ErroBanco(QStringLiteral("A tabela ") + tabela + QStringLiteral(" não tem chave primária"));

            const auto chaveDe = [&](const QStringList& v) {
                QString k;
                for (int p : posChave)
                    k += v[p] + kSep;
                return k;
            };
            QHash<QString, Local> locais;
            {
                Consulta q(m_tr);
                q.abre(QStringLiteral("select ") + nomes.join(QLatin1Char(',')) + QStringLiteral(" from ") + tabela);
                QStringList v;
                for (; !q.eof(); q.proximo()) {
                    v.clear();
                    for (int i = 0; i < colunas.size(); ++i)
                        v << comparavelLocal(colunas[i], q.campo(i));
                    Local loc;
                    loc.valores = v.join(kSep);
                    loc.ativa = posExclusao >= 0 && q.campo(posExclusao).nulo;
                    locais.insert(chaveDe(v), loc);
                }
            }

            QElapsedTimer relogio;
            relogio.start();
            lendo = true;
            RegistroBase r;
            QStringList comp;
            while (l.proximoRegistro(r)) {
                const QStringList valores = valoresLinha(colunas, r);
                comp.clear();
                for (int i = 0; i < colunas.size(); ++i)
                    comp << comparavel(colunas[i], valores[i]);
                const QString chave = chaveDe(comp);
                const QString linhaComp = comp.join(kSep);
                if (m_avisos.linhaAtual && (r.seq == 1 || relogio.elapsed() >= 100)) {
                    relogio.restart();
                    m_avisos.linhaAtual(r.valor(colunas.value(0).nome.toLower()) + QLatin1Char('-') +
                                        r.valor(colunas.value(2).nome.toLower()));
                }
                auto it = locais.find(chave);
                if (it != locais.end() && it->valores == linhaComp) {
                    it->vista = true;
                    ++res.linhasIguais;
                    continue;
                }
                const QString sql = sqlLinha(tabela, colunas, valores);
                try {
                    m_tr.executa(sql);
                    ++res.linhasGravadas;
                    Local& loc = locais[chave];
                    loc.valores = linhaComp;
                    loc.vista = true;
                } catch (const ErroBanco& e) {
                    ++res.linhasComErro;
                    GravaErroImportacao(sql, e.texto(), m_agora.isValid() ? m_agora : QDateTime::currentDateTime());
                    if (m_avisos.erroLinha)
                        m_avisos.erroLinha(sql, e.texto());
                }
            }
            lendo = false;
            if (posExclusao >= 0) {
                // Whatever the file no longer lists leaves the active registry.
                for (auto it = locais.cbegin(); it != locais.cend(); ++it) {
                    if (!it->ativa || it->vista)
                        continue;
                    const QStringList v = it->valores.split(kSep);
                    QStringList cond;
                    for (int p : posChave)
                        cond << colunas[p].nome + QLatin1Char('=') + v[p];
                    m_tr.executa(QStringLiteral("UPDATE ") + tabela + QStringLiteral(" SET DATAEXCLUSAO=") +
                                 SqlData(QDate(1900, 1, 1)) + QStringLiteral(" WHERE ") +
                                 cond.join(QStringLiteral(" AND ")));
                    ++res.excluidas;
                }
            }
            m_tr.commit();
            if (m_avisos.linhaAtual)
                m_avisos.linhaAtual(QString());
            linha(QStringLiteral(" => Atualização da Tabela ") + tabela + QStringLiteral("...(OK)"));
            return true;
        } catch (const ErroBanco& e) {
            m_tr.rollback();
            if (lendo)
                l.pulaSecao();
            linha(QStringLiteral(" => Atualização da Tabela ") + tabela + QStringLiteral("...(FALHOU!)"));
            linha(QStringLiteral(" => Erro: ") + e.texto());
            return false;
        }
    }

private:
    Transacao& m_tr;
    const AvisosBase& m_avisos;
    QDateTime m_agora;
};

} // namespace

void ValidaBase(Transacao& tr, const QString& caminho, ConteudoBase conteudo)
{
    const bool completo = conteudo == ConteudoBase::Municipio;
    LeitorBase l(caminho);
    QHash<QString, QVector<ColunaBase>> colunas;
    bool algumaSecao = false;
    QString secao;
    RegistroBase r;
    while (l.proximaSecao(secao)) {
        if (secao == QLatin1String("municipios")) {
            algumaSecao = true;
            while (l.proximoRegistro(r))
                noRegistro(l, secao, r, [&] {
                    SqlClienteBase(r, completo);
                    if (completo)
                        SqlLimitesBase(r);
                });
        } else if (TabelasBase().contains(secao)) {
            algumaSecao = true;
            if (!colunas.contains(secao))
                colunas.insert(secao, ColunasLocais(tr, secao));
            const QVector<ColunaBase>& c = colunas[secao];
            while (l.proximoRegistro(r))
                noRegistro(l, secao, r, [&] { valoresLinha(c, r); });
        } else {
            l.pulaSecao();
        }
    }
    if (!algumaSecao)
        throw ErroMensagem(QStringLiteral("Arquivo %1 inválido: nenhuma seção da base cadastral").arg(l.nome()));
}

ResultadoBase ImportaBase(Transacao& tr, const QString& caminho, ConteudoBase conteudo, const AvisosBase& avisos,
                          const QDateTime& agora)
{
    ResultadoBase res;
    Importacao imp(tr, avisos, agora);
    try {
        LeitorBase l(caminho);
        QSet<QString> vistas;
        QString secao;
        while (l.proximaSecao(secao)) {
            if (vistas.contains(secao)) {
                l.pulaSecao();
                continue;
            }
            if (secao == QLatin1String("municipios")) {
                vistas << secao;
                res.municipiosOk = imp.municipios(l, conteudo == ConteudoBase::Municipio);
                if (!res.municipiosOk)
                    res.falharam << secao;
                // A provider stops at a failed municipalities step.
                if (!res.municipiosOk && conteudo == ConteudoBase::Prestador) {
                    res.lido = true;
                    return res;
                }
            } else if (TabelasBase().contains(secao)) {
                vistas << secao;
                if (!imp.tabela(l, secao, res))
                    res.falharam << secao;
            } else {
                l.pulaSecao();
            }
        }
        res.lido = true;
        if (!vistas.contains(QStringLiteral("municipios"))) {
            res.municipiosOk = true;
            res.ausentes << QStringLiteral("municipios");
        }
        for (const QString& t : TabelasBase())
            if (!vistas.contains(t))
                res.ausentes << t;
        for (const QString& t : std::as_const(res.ausentes))
            imp.linha(QStringLiteral(" => Tabela %1 ausente do arquivo: mantida como está").arg(t));
    } catch (const std::exception& e) {
        // Read by ValidaBase a moment ago: the file changed or the disk failed.
        tr.rollback();
        res.erro = TextoErro(e);
        imp.linha(QStringLiteral(" => ") + res.erro);
    }
    return res;
}

void ValidaGlosas(const QString& caminho)
{
    LeitorBase l(caminho);
    QString secao;
    RegistroBase r;
    bool achou = false;
    while (l.proximaSecao(secao)) {
        if (secao != QLatin1String("glosas")) {
            l.pulaSecao();
            continue;
        }
        achou = true;
        while (l.proximoRegistro(r))
            noRegistro(l, secao, r, [&] { SqlGlosaBase(r); });
    }
    if (!achou)
        throw ErroMensagem(QStringLiteral("Arquivo %1 inválido: sem a seção glosas").arg(l.nome()));
}

int AplicaGlosas(Transacao& tr, const QString& caminho)
{
    LeitorBase l(caminho);
    QString secao;
    RegistroBase r;
    int n = 0;
    try {
        tr.inicia();
        while (l.proximaSecao(secao)) {
            if (secao != QLatin1String("glosas")) {
                l.pulaSecao();
                continue;
            }
            while (l.proximoRegistro(r)) {
                const QString sql = SqlGlosaBase(r);
                tr.executa(sql);
                ++n;
            }
        }
        tr.commit();
    } catch (...) {
        tr.rollback();
        throw;
    }
    return n;
}

} // namespace vx
