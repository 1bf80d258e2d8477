// The registry base on real databases, a real FTP server and a real web server for the version
// document: the consortium's file and its rules, the round trip to a municipality and a provider
// (equal field for field, closed rows closed, a second reception writing nothing), files that must
// change nothing, missing sections, refused rows, the provider's blocks and authorizations, the
// 4-day rule, the unreachable update site and the screens.
#include "core/Atualizacao.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/Texto1252.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "exchange/BaseCadastral.h"
#include "exchange/RecepcaoBase.h"
#include "exchange/TFEnvioBaseCUNE.h"
#include "exchange/TFRecebBaseEntidades.h"
#include "exchange/ftp/FtpCliente.h"
#include "municipality/TFRecebBaseMunicipios.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Galeria.h"
#include "support/ServidorFtp.h"
#include "support/ServidorHttp.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kHoje = QStringLiteral("10/12/2026");

QByteArray documentoVersao(const QString& versao = QStringLiteral("2.28"))
{
    return QStringLiteral("<versao><cabecalho><versaoAtual>%1</versaoAtual><link></link><mensagemMunic></mensagemMunic>"
                          "<obrigMunic>N</obrigMunic><mensagemEntidade></mensagemEntidade><obrigEntidade>N</obrigEntidade>"
                          "</cabecalho></versao>")
        .arg(versao)
        .toLatin1();
}

// One installation: its folder, database and configuration, made current by ativa().
struct Instalacao {
    test::BancoTeste b;
    QStringList conf;
    QStringList linhas, avisos, erros, linhasRecusadas;
    int encerramentos = 0;
    std::unique_ptr<LogErros> log;

    Instalacao(const QString& usuario, const QStringList& comum)
    {
        conf = QStringList{"USUARIO=" + usuario} + comum;
    }
    Transacao& ativa()
    {
        test::InstalaConfiguracao(b.pasta(), conf);
        CarregaIdentidade();
        SessaoAtual().DataAtual = kHoje;
        SessaoAtual().UsuarioLogado = QStringLiteral("ana");
        return b.tr();
    }
    ContextoBase contexto(FtpCliente& ftp)
    {
        ContextoBase c;
        c.tr = &b.tr();
        c.ftp = &ftp;
        c.status = [this](const QString& l) { linhas << l; };
        c.aviso = [this](const QString& t) { avisos << t; };
        c.erro = [this](const QString& titulo, const QString& t) { erros << titulo + ": " + t; };
        c.encerraPorAtraso = [this](const QString&) { ++encerramentos; };
        c.avisos.erroLinha = [this](const QString& sql, const QString&) { linhasRecusadas << sql; };
        return c;
    }
    ResultadoRecepcaoBase recebe()
    {
        ativa();
        linhas.clear();
        avisos.clear();
        erros.clear();
        FtpCliente ftp;
        ContextoBase c = contexto(ftp);
        if (EhMunicipio())
            return RecebeBaseMunicipio(c);
        log = std::make_unique<LogErros>();
        return RecebeBasePrestador(c, *log);
    }
    QString texto(const QString& sql) { return b.valor(sql).toString(); }
    QString log_() const { return linhas.join('\n'); }
};

// Rows of a table as text, one per row, in key order; `colunas` in the given order. The base carries
// a null text as an empty one and a null decimal as 0, so both read so here.
QStringList despejo(test::BancoTeste& b, const QString& tabela, const QStringList& colunas, const QString& filtro = {})
{
    QStringList r;
    Consulta q(b.tr());
    q.abre("select " + colunas.join(',') + " from " + tabela + (filtro.isEmpty() ? QString() : " where " + filtro) +
           " order by 1, 2");
    for (; !q.eof(); q.proximo()) {
        QStringList v;
        for (int i = 0; i < q.numCampos(); ++i) {
            const Campo& f = q.campo(i);
            if (f.nulo && f.tipo == Campo::Tipo::Texto)
                v << QString();
            else if (f.nulo && f.tipo == Campo::Tipo::Decimal)
                v << QStringLiteral("0");
            else
                v << (f.nulo ? QStringLiteral("<null>") : f.texto());
        }
        r << v.join('|');
    }
    b.tr().rollback();
    return r;
}

QStringList colunasDe(test::BancoTeste& b, const QString& tabela)
{
    QStringList r;
    for (const ColunaBase& c : ColunasLocais(b.tr(), tabela))
        r << c.nome;
    b.tr().rollback();
    return r;
}

const QStringList kColunasEntidade{"CODIGO", "CEP", "CNPJ", "CODMUN", "DATAEXCLUSAO", "ENDERECO", "FONES",
                                   "NOMEFANTASIA", "OCULTARMUNIC", "RAZAOSOCIAL"};

// The consortium, a municipality and an entity sharing one FTP server and the update site.
struct Rede {
    test::ServidorFtp srv{QList<test::ServidorFtp::Conta>{{"cune01", "pw"}, {"cune03", "pw"}}};
    test::ServidorHttp http;
    std::unique_ptr<Instalacao> cons, mun, ent;

    Rede()
    {
        srv.criaPasta("cune/marcacao");
        http.grava("CUNE/versao.xml", documentoVersao());
        const QStringList comum{"CONSORCIO=CUNE",
                                "FTPHOST=127.0.0.1",
                                "FTPSENHA=pw",
                                "FTPTEMPOTOTAL=20",
                                "PORTA=" + QString::number(srv.porta()),
                                "NTP=",
                                "DATABASE=teste.fdb",
                                "SITEATUALIZACAO=" + http.url().chopped(1)};
        cons = std::make_unique<Instalacao>("CUNE", comum);
        mun = std::make_unique<Instalacao>("M4314902", comum);
        ent = std::make_unique<Instalacao>("E0000010", comum);
        test::PreparaMarcacao(cons->b);
        DefineAcoesAtualizacao({[](const QString&) { return true; }, [](const QString&) {}, [] {}});
    }
    ~Rede() { DefineAcoesAtualizacao({}); }

    ResultadoEnvioBase publica()
    {
        cons->ativa();
        cons->linhas.clear();
        FtpCliente ftp;
        return EnviaBaseCadastral(cons->b.tr(), ftp, [this](const QString& l) { cons->linhas << l; },
                                  QDateTime(QDate(2026, 12, 10), QTime(9, 30, 5)));
    }
    // The base as the consortium would write it now.
    QByteArray base()
    {
        cons->ativa();
        const QByteArray b = MontaBaseCune(cons->b.tr(), QDate(2026, 12, 10), QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
        cons->b.tr().rollback();
        return b;
    }
    void poeNoServidor(const QString& nome, const QByteArray& dados) { test::GravaArquivo(srv.caminho("cune/" + nome), dados); }
};

// Everything of the registries a receiver holds.
QString estadoRegistros(Instalacao& i)
{
    QStringList r;
    for (const QString& t : QStringList{"clientes", "clilimites"} + TabelasBase())
        r << t + ":" + despejo(i.b, t, colunasDe(i.b, t)).join(';');
    return r.join('\n');
}

} // namespace

class TstBaseCadastral : public QObject {
    Q_OBJECT

private slots:
    void escapa_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("escrito");
        QTest::newRow("ampersand becomes e") << "A & B" << "A e B";
        QTest::newRow("less-than as entity") << "VALOR < 100" << "VALOR &lt; 100";
        QTest::newRow("greater-than as entity") << "> 2 ANOS" << "&gt; 2 ANOS";
        QTest::newRow("apostrophe and quote kept") << "D'AGUA \"X\"" << "D'AGUA \"X\"";
        QTest::newRow("accents kept") << "AÇÃO É" << "AÇÃO É";
        QTest::newRow("CR as reference, LF and tab kept") << "A\r\nB\tC" << "A&#13;\nB\tC";
        QTest::newRow("control characters dropped") << QString("A") + QChar(1) + "B" + QChar(0x1F) << "AB";
        QTest::newRow("outside Latin-1: the closest character") << QString::fromUtf8("“X” – €") << "\"X\" - E";
    }
    void escapa()
    {
        QFETCH(QString, valor);
        QFETCH(QString, escrito);
        QCOMPARE(EscapaBase(valor), escrito);
    }

    void valores_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("sql"); // "!" when refused
        QTest::newRow("varchar quoted, quotes doubled") << "VARCHAR" << "D'AGUA" << "'D''AGUA'";
        QTest::newRow("char empty") << "CHAR" << "" << "''";
        QTest::newRow("blob") << "BLOB" << "X" << "'X'";
        QTest::newRow("date") << "DATE" << "05/06/2026" << "'06/05/2026'";
        QTest::newRow("date empty is null") << "DATE" << "" << "null";
        QTest::newRow("timestamp to the minute") << "TIMESTAMP" << "05/06/2026 10:20:30" << "'06/05/2026 10:20'";
        QTest::newRow("date impossible") << "DATE" << "31/02/2026" << "!";
        QTest::newRow("integer") << "INTEGER" << "12" << "12";
        QTest::newRow("integer 0 is null") << "INTEGER" << "0" << "null";
        QTest::newRow("integer empty is null") << "INTEGER" << "" << "null";
        QTest::newRow("integer with SQL refused") << "INTEGER" << "1 or 1=1" << "!";
        QTest::newRow("numeric with cents") << "INT64" << "1.234,56" << "1234.56";
        QTest::newRow("numeric empty is 0") << "INT64" << "" << "0";
        QTest::newRow("numeric not a number") << "INT64" << "10,5x" << "!";
        QTest::newRow("smallint by the decimal rule") << "SMALLINT" << "3" << "3";
        QTest::newRow("double") << "DOUBLE" << "0,25" << "0.25";
    }
    void valores()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, texto);
        QFETCH(QString, sql);
        try {
            QCOMPARE(ValorSqlBase(ClasseDoTipo(tipo), texto), sql);
        } catch (const ErroValor&) {
            QCOMPARE(QString("!"), sql);
        }
    }

    // The consortium's file: envelope, sections in order, the entity columns, hidden entities,
    // limits of this year and the next, alphabetical columns, empty sections.
    void arquivoDaBase()
    {
        Rede r;
        test::BancoTeste& c = r.cons->b;
        c.executa("insert into entidades (codigo, razaosocial, ocultarmunic, cnes) values (12, 'OCULTA & CIA', 'S', '1')");
        c.executa("insert into entidadesprofiss (codentidade, codprofissional) values (12, 22)");
        c.executa("insert into profissproced (codentidade, codprofissional, codprocedimento) values (12, 22, 104)");
        c.executa("insert into clientes (codigo, nome) values ('4300001', 'ALVORADA')");
        c.executa("insert into clilimites (codcliente, periodo, valor) values ('4314902', '12-2026', 1500)");
        c.executa("insert into clilimites (codcliente, periodo, valor) values ('4314902', '01-2027', 1500.5)");
        c.executa("insert into clilimites (codcliente, periodo, valor) values ('4314902', '12-2025', 99)");
        const QString t = QString::fromLatin1(r.base());
        QVERIFY(t.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO xmlns=\"urn:sngpc-schema\">"
                             "<cabecalho><respEnvio>BASE CUNE</respEnvio><dtEnvio>10/12/2026 09:30:00</dtEnvio></cabecalho>"
                             "<municipios><det nSeq='1'><codigo>4300001</codigo><nome>ALVORADA</nome>"));
        QVERIFY(t.endsWith("</profissproced></mensagemVXO>"));
        int pos = 0;
        for (const QString& s : QStringList{"municipios"} + TabelasBase()) {
            const int p = t.indexOf("<" + s + ">");
            QVERIFY2(p > pos, qPrintable(s));
            pos = p;
        }
        // Alvorada without limits; Porto Alegre with this year's and the next year's only.
        QVERIFY(t.contains("<obs></obs></det><det nSeq='2'><codigo>4314902</codigo>"));
        QVERIFY(t.contains("<detLimites><periodo>12-2026</periodo><valor>1500,00</valor><obs></obs></detLimites>"
                           "<detLimites><periodo>01-2027</periodo><valor>1500,50</valor>"));
        QVERIFY(!t.contains("12-2025"));
        // The ten entity columns, in that order; the hidden entity and its rows left out.
        QVERIFY(t.contains("<entidades><det nSeq='1'><cep></cep><cnpj></cnpj><codigo>10</codigo><codmun></codmun>"
                           "<dataexclusao></dataexclusao><endereco>AV. IPIRANGA, 100</endereco><fones></fones>"
                           "<nomefantasia></nomefantasia><ocultarmunic></ocultarmunic><razaosocial>CLINICA VIDA"
                           "</razaosocial></det>"));
        QVERIFY(!t.contains("<cnes>"));
        QVERIFY(!t.contains("OCULTA"));
        QVERIFY(t.contains("<entidadesprofiss><det nSeq='1'><codentidade>10</codentidade><codprofissional>20"));
        QVERIFY(!t.contains("<codentidade>12</codentidade>"));
        QVERIFY(t.contains("<gruposproced></gruposproced>"));
        // Every table column in alphabetical order; cents with a comma.
        const QRegularExpression proc("<procedimentos><det nSeq='1'>(.*?)</det>");
        const QString det = proc.match(t).captured(1);
        QStringList nomes;
        for (const auto& m : QRegularExpression("<([a-z0-9_]+)>").globalMatch(det))
            nomes << m.captured(1);
        QStringList ordenados = nomes;
        std::sort(ordenados.begin(), ordenados.end());
        QCOMPARE(nomes, ordenados);
        QCOMPARE(nomes.size(), colunasDe(c, "procedimentos").size());
        QVERIFY(det.contains("<codigo>101</codigo>"));
        QVERIFY(det.contains("<valor>10,1</valor>"));
    }

    void glosasDe60Dias()
    {
        Rede r;
        test::BancoTeste& c = r.cons->b;
        for (int dias : {0, 59, 60, 61}) {
            c.executa(QString("insert into marcacao (cli_origem, id_marcacao, data_imp_adm, chaveimpre, databloqueio, "
                              "datarealizacao) values ('4314902', %1, 'M', 'K%1', current_date - %1, %2)")
                          .arg(dias)
                          .arg(dias == 59 ? "'2026-11-01'" : "null"));
        }
        r.cons->ativa();
        const QString t = QString::fromLatin1(MontaBaseGlosas(c.tr(), QDateTime(QDate(2026, 12, 10), QTime(8, 0))));
        c.tr().rollback();
        QVERIFY(t.contains("<glosas><det nSeq='1'><chaveimpre>K0</chaveimpre><datarealizacao></datarealizacao>"));
        QVERIFY(t.contains("<det nSeq='2'><chaveimpre>K59</chaveimpre><datarealizacao>01/11/2026</datarealizacao>"));
        QVERIFY(!t.contains("K60"));
        QVERIFY(!t.contains("K61"));
    }

    // Published by the consortium, received by a municipality and an entity: field for field equal
    // (the "&" read as "e"), closed rows closed, a second reception writing nothing.
    void idaEVolta()
    {
        Rede r;
        test::BancoTeste& c = r.cons->b;
        c.executa("update entidades set razaosocial='D''AGUA & FILHOS <LTDA>', nomefantasia='ÁGUA “PURA”' where codigo=10");
        c.executa("update profissionais set obs='LINHA 1' || ascii_char(13) || ascii_char(10) || 'LINHA 2 > 1', "
                  "cpf='123.456.789-00' where codigo=20");
        c.executa("update procedimentos set nome='EXAME < 2 ANOS', valor=10.05, dataexclusao=null where codigo=200");
        c.executa("insert into gruposproced (codigo, nome) values (1, 'CONSULTAS')");
        c.executa("update procedimentos set codgrupo=1 where codigo=101");
        c.executa("update clientes set populacao=1409351, obs='CAPITAL' where codigo='4314902'");
        c.executa("insert into clilimites (codcliente, periodo, valor, obs) values ('4314902', '12-2026', 2500.75, 'TETO')");
        c.executa("insert into entidades (codigo, razaosocial, ocultarmunic) values (12, 'OCULTA', 'S')");
        c.executa("insert into profissproced (codentidade, codprofissional, codprocedimento) values (12, 22, 104)");
        // A stale row at the municipality that the base no longer lists.
        r.mun->b.executa("insert into procedimentos (codigo, nome) values (999, 'ANTIGO')");

        const ResultadoEnvioBase env = r.publica();
        QVERIFY2(env.baseEnviada && env.glosasEnviadas, qPrintable(r.cons->log_()));
        QVERIFY(r.cons->linhas.last() == "PROCESSO CONCLUÍDO!!!");
        QVERIFY(QFile::exists(r.srv.caminho("cune/BaseCUNE.xml")));
        QVERIFY(QFile::exists(r.srv.caminho("cune/BaseGlosas.xml")));

        const ResultadoRecepcaoBase m = r.mun->recebe();
        QVERIFY2(m.concluida, qPrintable(r.mun->log_() + r.mun->erros.join('\n')));
        const ResultadoRecepcaoBase e = r.ent->recebe();
        QVERIFY2(e.concluida, qPrintable(r.ent->log_() + r.ent->erros.join('\n')));

        // "&" travels as "e"; characters outside Latin-1 as their closest one.
        const auto comoChega = [](QStringList l) {
            for (QString& s : l)
                s = QString::fromLatin1(paraLatin1(s.replace('&', 'e')));
            return l;
        };
        const QString visivel = "codigo in (select codigo from entidades where ocultarmunic is null or ocultarmunic='N')";
        const QString ligada = "codentidade in (select codigo from entidades where ocultarmunic is null or ocultarmunic='N')";
        for (Instalacao* i : {r.mun.get(), r.ent.get()}) {
            QCOMPARE(despejo(i->b, "entidades", kColunasEntidade), comoChega(despejo(c, "entidades", kColunasEntidade, visivel)));
            for (const QString& t : QStringList{"profissionais", "gruposproced", "procedimentos"}) {
                QStringList col = colunasDe(c, t);
                QCOMPARE(despejo(i->b, t, col, t == "procedimentos" ? "codigo<>999" : QString()), comoChega(despejo(c, t, col)));
            }
            for (const QString& t : QStringList{"entidadesprofiss", "profissproced"})
                QCOMPARE(despejo(i->b, t, colunasDe(c, t)), despejo(c, t, colunasDe(c, t), ligada));
        }
        const QStringList colCli{"CODIGO", "NOME", "CONTATO", "FONES", "OBS", "CNPJ", "POPULACAO", "CEP", "APAC", "MOSTRARVALOR"};
        QCOMPARE(despejo(r.mun->b, "clientes", colCli), despejo(c, "clientes", colCli));
        QCOMPARE(despejo(r.mun->b, "clilimites", {"CODCLIENTE", "PERIODO", "VALOR", "OBS"}),
                 despejo(c, "clilimites", {"CODCLIENTE", "PERIODO", "VALOR", "OBS"}));
        // The provider takes neither limits nor apac/mostrarvalor.
        QCOMPARE(r.ent->texto("select count(*) from clilimites"), QString("0"));
        QCOMPARE(r.ent->texto("select coalesce(apac, 'null') from clientes"), QString("null"));
        QCOMPARE(r.ent->texto("select populacao from clientes"), QString("1409351"));
        // What the base no longer lists is closed at 01/01/1900; the reception date moved on.
        QCOMPARE(r.mun->texto("select dataexclusao from procedimentos where codigo=999"), QString("1900-01-01"));
        QCOMPARE(r.mun->texto("select dataultrecepcao from tabdiv"), QString("2026-12-10"));
        QVERIFY(r.mun->log_().contains(" => Atualização da Tabela profissproced...(OK)"));

        // Closed at the consortium: a procedure deleted there, a link gone.
        c.executa("update procedimentos set dataexclusao='2026-12-09', valor=12.34 where codigo=102");
        c.executa("delete from profissproced where codentidade=10 and codprocedimento=103");
        QVERIFY(r.publica().baseEnviada);
        const QString antes = estadoRegistros(*r.ent);
        const ResultadoRecepcaoBase e2 = r.ent->recebe();
        QVERIFY(e2.concluida);
        QCOMPARE(e2.base.linhasGravadas, 1);
        QCOMPARE(e2.base.excluidas, 1);
        QVERIFY(estadoRegistros(*r.ent) != antes);
        QCOMPARE(r.ent->texto("select dataexclusao || ' ' || valor from procedimentos where codigo=102"),
                 QString("2026-12-09 12.34"));
        QCOMPARE(r.ent->texto("select dataexclusao from profissproced where codentidade=10 and codprocedimento=103"),
                 QString("1900-01-01"));

        // Nothing new: nothing written.
        const QString depois = estadoRegistros(*r.ent);
        r.ent->b.executa("update tabdiv set dataultrecepcao=null");
        const ResultadoRecepcaoBase e3 = r.ent->recebe();
        QVERIFY(e3.concluida);
        QCOMPARE(e3.base.linhasGravadas, 0);
        QCOMPARE(e3.base.excluidas, 0);
        QCOMPARE(estadoRegistros(*r.ent), depois);
    }

    // A base that is not well formed, cut short or with a value its column refuses: nothing changes,
    // the reason is told and the day does not count as received.
    void arquivoRecusado_data()
    {
        QTest::addColumn<QString>("defeito");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("cut short") << "corte" << "incompleto";
        QTest::newRow("not well formed") << "malformado" << "inválido";
        QTest::newRow("code not a number") << "codigo" << "profissproced, registro 3: codprocedimento";
        QTest::newRow("value not a number") << "valor" << "procedimentos, registro 2: valor";
        QTest::newRow("impossible date") << "data" << "dataexclusao";
        QTest::newRow("population not a number") << "populacao" << "municipios, registro 1";
        QTest::newRow("DOCTYPE") << "doctype" << "DOCTYPE";
        QTest::newRow("no base at all") << "outro" << "nenhuma seção";
    }
    void arquivoRecusado()
    {
        QFETCH(QString, defeito);
        QFETCH(QString, motivo);
        Rede r;
        r.cons->b.executa("update procedimentos set dataexclusao='2026-01-02' where codigo=200");
        QString t = QString::fromLatin1(r.base());
        if (defeito == "corte")
            t.chop(t.size() - t.indexOf("<procedimentos>") - 200);
        else if (defeito == "malformado")
            t.replace("<razaosocial>CLINICA VIDA</razaosocial>", "<razaosocial>CLINICA < VIDA</razaosocial>");
        else if (defeito == "codigo")
            t.replace(QRegularExpression("(<profissproced>(?:<det nSeq='\\d'>.*?</det>){2}<det nSeq='3'><codentidade>10"
                                         "</codentidade><codprocedimento>)\\d+"),
                      "\\1103 or 1=1");
        else if (defeito == "valor")
            t.replace(QRegularExpression("(<procedimentos>.*?<det nSeq='2'>.*?<valor>)[^<]*"), "\\1cinco");
        else if (defeito == "data")
            t.replace("<dataexclusao>02/01/2026</dataexclusao>", "<dataexclusao>31/02/2026</dataexclusao>");
        else if (defeito == "populacao")
            t.replace("<populacao></populacao>", "<populacao>1e6</populacao>");
        else if (defeito == "doctype")
            t.replace("<mensagemVXO", "<!DOCTYPE mensagemVXO><mensagemVXO");
        else if (defeito == "outro")
            t = "<?xml version=\"1.0\"?><outro><coisa/></outro>";
        r.poeNoServidor("BaseCUNE.xml", t.toLatin1());
        r.mun->b.executa("insert into procedimentos (codigo, nome) values (999, 'ANTIGO')");
        r.mun->b.executa("insert into clientes (codigo, nome) values ('4314902', 'NOME ANTIGO')");
        const QString antes = estadoRegistros(*r.mun);
        const ResultadoRecepcaoBase m = r.mun->recebe();
        QVERIFY(m.falhou);
        QVERIFY(!m.concluida);
        QVERIFY2(m.erro.contains(motivo), qPrintable(m.erro));
        QVERIFY(r.mun->log_().contains("Nenhuma alteração foi feita."));
        QCOMPARE(r.mun->erros.size(), 1);
        QCOMPARE(estadoRegistros(*r.mun), antes);
        QCOMPARE(r.mun->texto("select coalesce(dataultrecepcao, 'null') from tabdiv"), QString("null"));
    }

    // A registry missing from the file is left as it is; one present without rows is closed.
    void secaoAusente()
    {
        Rede r;
        const QString t = QString::fromLatin1(r.base());
        r.poeNoServidor("BaseCUNE.xml", t.toLatin1());
        QVERIFY(r.mun->recebe().concluida);
        QString semProf = t;
        semProf.remove(QRegularExpression("<profissionais>.*</profissionais>"));
        semProf.replace(QRegularExpression("<procedimentos>.*</procedimentos>"), "<procedimentos></procedimentos>");
        r.poeNoServidor("BaseCUNE.xml", semProf.toLatin1());
        r.mun->b.executa("update tabdiv set dataultrecepcao=null");
        const ResultadoRecepcaoBase m = r.mun->recebe();
        QVERIFY2(m.concluida, qPrintable(r.mun->log_()));
        QCOMPARE(m.base.ausentes, QStringList{"profissionais"});
        QVERIFY(r.mun->log_().contains(" => Tabela profissionais ausente do arquivo: mantida como está"));
        QCOMPARE(r.mun->texto("select count(*) from profissionais where dataexclusao is null"), QString("3"));
        QCOMPARE(r.mun->texto("select count(*) from procedimentos where dataexclusao is null"), QString("0"));
        QCOMPARE(r.mun->texto("select count(*) from procedimentos where dataexclusao='1900-01-01'"), QString("24"));
    }

    // A row the database refuses is saved as "erro importacao <hhnnss>.txt", the rest goes in and the
    // day does not count as received; a group is never closed; 0 in an integer column is null.
    void linhaRecusada()
    {
        Rede r;
        r.cons->b.executa("insert into gruposproced (codigo, nome) values (7, 'EXAMES')");
        r.cons->b.executa("update procedimentos set quantmax=0 where codigo=104");
        QString t = QString::fromLatin1(r.base());
        t.replace("<nome>DR. PAULO REIS</nome>", "<nome>" + QString(120, 'X') + "</nome>");
        r.poeNoServidor("BaseCUNE.xml", t.toLatin1());
        r.mun->b.executa("insert into gruposproced (codigo, nome) values (8, 'SO LOCAL')");
        const ResultadoRecepcaoBase m = r.mun->recebe();
        QVERIFY(!m.concluida);
        QCOMPARE(m.base.linhasComErro, 1);
        QCOMPARE(r.mun->linhasRecusadas.size(), 1);
        QVERIFY(r.mun->linhasRecusadas[0].startsWith("update or insert into profissionais("));
        const QStringList arquivos = QDir(r.mun->b.pasta()).entryList({"erro importacao *.txt"});
        QCOMPARE(arquivos.size(), 1);
        QVERIFY(test::LeArquivo(r.mun->b.pasta() + "/" + arquivos[0]).startsWith("update or insert into profissionais("));
        QVERIFY(r.mun->log_().contains("Recepção incompleta"));
        QCOMPARE(r.mun->texto("select coalesce(dataultrecepcao, 'null') from tabdiv"), QString("null"));
        QCOMPARE(r.mun->texto("select count(*) from profissionais where dataexclusao is null"), QString("2"));
        QCOMPARE(r.mun->texto("select count(*) from gruposproced"), QString("2"));
        QCOMPARE(r.mun->texto("select coalesce(quantmax, -1) from procedimentos where codigo=104"), QString("-1"));
    }

    // The provider: access report appended, blocks reopening realizations typed before them,
    // authorizations of its professionals' folders imported in bulk in their order.
    void prestador()
    {
        Rede r;
        r.cons->b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (10, 7)");
        r.cons->b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (10, 3)");
        for (const char* k : {"1, 'KA'", "2, 'KB'"})
            r.cons->b.executa(QString("insert into marcacao (cli_origem, id_marcacao, chaveimpre, data_imp_adm, databloqueio) "
                                      "values ('4314902', %1, 'M', current_date - 5)").arg(k));
        QVERIFY(r.publica().glosasEnviadas);
        const QDate bloqueio = QDate::currentDate().addDays(-5);
        const auto dia = [](const QDate& d) { return d.toString("yyyy-MM-dd"); };
        r.ent->b.executa(QString("insert into marcacao (cli_origem, id_marcacao, chaveimpre, data_imp_adm, datarealizacao, "
                                 "data_digitacao, data_importacao) select '4314902', 1, 'KA', 'x', '%1', '%1', '%1' from rdb$database "
                                 "union all select '4314902', 2, 'KB', 'x', '%2', '%2', '%2' from rdb$database")
                             .arg(dia(bloqueio.addDays(-1)), dia(bloqueio)));
        const QByteArray msg = test::LeArquivo(QStringLiteral(VX_TEST_DATA_DIR) + "/mensagem_autorizacao.xml");
        r.srv.criaPasta("cune/marcacao/profiss00007");
        test::GravaArquivo(r.srv.caminho("cune/marcacao/profiss00007/M4314902_ID0000031.xml"),
                           QByteArray(msg).replace("<marcacao><id>123</id>", "<marcacao><id>124</id>"));
        r.srv.criaPasta("cune/marcacao/profiss00003");
        test::GravaArquivo(r.srv.caminho("cune/marcacao/profiss00003/M4314902_ID0000030.xml"), msg);
        test::GravaArquivo(r.srv.caminho("cune/marcacao/profiss00003/M4314902_ID0000032.xml"), "<quebrado");

        const ResultadoRecepcaoBase e = r.ent->recebe();
        QVERIFY2(e.terminou, qPrintable(r.ent->log_()));
        QCOMPARE(e.importados, 2);
        QCOMPARE(e.falhados, 1);
        QVERIFY(e.concluida); // a failed message does not hold the day back; it stays on the server
        const QString log = r.ent->log_();
        QVERIFY(log.indexOf("p/ Profiss. 3...") < log.indexOf("p/ Profiss. 7..."));
        QVERIFY(log.contains("Nenhum arquivo a ser baixado para o profissional 20..."));
        QCOMPARE(r.ent->linhas.count("(ok)"), 2);
        QVERIFY(log.contains(" => Inseridos 2 procedimentos; ficaram para a próxima recepção: 1"));
        QVERIFY(r.ent->linhas.last().endsWith(" => PROCESSO CONCLUIDO!"));
        QVERIFY(QFile::exists(r.srv.caminho("cune/marcacao/profiss00003/ok M4314902_ID0000030.xml")));
        QVERIFY(QFile::exists(r.srv.caminho("cune/marcacao/profiss00003/M4314902_ID0000032.xml")));
        // KA typed the day before the block is reopened; KB typed on the block's day is not.
        QCOMPARE(r.ent->texto("select coalesce(data_digitacao, 'null') from marcacao where chaveimpre='KA'"), QString("null"));
        QVERIFY(r.ent->texto("select data_digitacao from marcacao where chaveimpre='KB'").startsWith(dia(bloqueio)));
        QVERIFY(log.contains(" => Atualização das glosas...(OK)"));
        // The usage log on the server grows by two lines per run.
        r.ent->b.executa("update tabdiv set dataultrecepcao=null");
        QVERIFY(r.ent->recebe().terminou);
        const QStringList acesso = QString::fromLatin1(test::LeArquivo(r.srv.caminho("cune/E0000010"))).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(acesso.size(), 4);
        QVERIFY(acesso[0].startsWith("User: ana - 10/12/2026 - "));
        QCOMPARE(acesso[1], QString("Versão: 2.28"));
    }

    // A block listed before its authorization (its name sorts first) blocks it by the end of the
    // same run; a block whose authorization never came waits on the server, counted apart.
    void bloqueioAntesDaAutorizacao()
    {
        Rede r;
        r.cons->b.executa("insert into entidadesprofiss (codentidade, codprofissional) values (10, 3)");
        QVERIFY(r.publica().glosasEnviadas);
        const QByteArray msg = test::LeArquivo(QStringLiteral(VX_TEST_DATA_DIR) + "/mensagem_autorizacao.xml");
        const auto bloqueio = [](int id) {
            return QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mensagemVXO><cabecalho><respEnvio>4314902"
                                  "</respEnvio></cabecalho><marcacao><id>%1</id><chave>K</chave><databloqueio>09/12/2026"
                                  "</databloqueio><obs>CANCELADA</obs></marcacao></mensagemVXO>")
                .arg(id)
                .toLatin1();
        };
        const QString pasta = "cune/marcacao/profiss00003/";
        r.srv.criaPasta(pasta);
        test::GravaArquivo(r.srv.caminho(pasta + "M4314902_ID0000123-bloq.xml"), bloqueio(123));
        test::GravaArquivo(r.srv.caminho(pasta + "M4314902_ID0000123.xml"), msg);
        test::GravaArquivo(r.srv.caminho(pasta + "M4314902_ID0000999-bloq.xml"), bloqueio(999));

        const ResultadoRecepcaoBase e = r.ent->recebe();
        QVERIFY2(e.terminou, qPrintable(r.ent->log_()));
        QCOMPARE(e.importados, 2);
        QCOMPARE(e.bloqueiosAguardando, 1);
        QCOMPARE(e.pendencias(), 0);
        QCOMPARE(r.ent->texto("select databloqueio || ':' || obs from marcacao where id_marcacao=123"),
                 QString("2026-12-09:CANCELADA"));
        QCOMPARE(QDir(r.srv.caminho(pasta)).entryList(QDir::Files, QDir::Name),
                 (QStringList{"M4314902_ID0000999-bloq.xml", "ok M4314902_ID0000123-bloq.xml", "ok M4314902_ID0000123.xml"}));
        const QString log = r.ent->log_();
        QVERIFY2(log.contains(" => Bloqueio M4314902_ID0000999-bloq.xml aguardando a sua autorização"), qPrintable(log));
        QCOMPARE(r.ent->linhas.count("(ok)"), 2);
        QVERIFY(log.contains(" => Inseridos 2 procedimentos (OK)"));
        QCOMPARE(ResumoRecepcaoBase(e, true, "Erro.TXT"),
                 QString("Recepção da base completa: mensagens recebidas 2; já recebidas antes 0; não baixadas 0; "
                         "com erro 0; marcas pendentes 0; bloqueios aguardando a autorização 1."));
    }

    // Without the server: the municipality under CUNE 4 or more days behind ends the program; with
    // a recent reception, or FTP switched off, it only warns.
    void semConexao_data()
    {
        QTest::addColumn<QString>("ultima");
        QTest::addColumn<bool>("ftpLigado");
        QTest::addColumn<int>("encerra");
        QTest::newRow("never received") << "" << true << 1;
        QTest::newRow("4 days") << "2026-12-06" << true << 1;
        QTest::newRow("3 days") << "2026-12-07" << true << 0;
        QTest::newRow("FTP off") << "" << false << 0;
    }
    void semConexao()
    {
        QFETCH(QString, ultima);
        QFETCH(bool, ftpLigado);
        QFETCH(int, encerra);
        Rede r;
        r.srv.defineParado(true);
        if (!ultima.isEmpty())
            r.mun->b.executa("update tabdiv set dataultrecepcao='" + ultima + "'");
        if (!ftpLigado)
            r.mun->conf << "ATIVARFTP=N";
        const ResultadoRecepcaoBase m = r.mun->recebe();
        QVERIFY(!m.conectou);
        QCOMPARE(r.mun->encerramentos, encerra);
        QCOMPARE(m.encerrarPrograma, encerra == 1);
        QCOMPARE(r.mun->avisos.size(), 1 - encerra);
        QVERIFY(r.mun->linhas.contains("Falha na Conexão com o Servidor FTP!"));
    }

    // No version document (site unreachable, none left from before): the reception ends there.
    void siteDeAtualizacaoFora()
    {
        Rede r;
        QVERIFY(r.publica().baseEnviada);
        r.http.para();
        for (Instalacao* i : {r.mun.get(), r.ent.get()}) {
            const ResultadoRecepcaoBase x = i->recebe();
            QVERIFY(x.falhou);
            QVERIFY(i->linhas.contains("Falhou!"));
            QCOMPARE(i->texto("select count(*) from procedimentos"), QString("0"));
        }
        QCOMPARE(r.mun->erros.size(), 1);
        QVERIFY(r.mun->erros[0].startsWith("Erro, verifique os dados digitados: "));
        QCOMPARE(r.ent->avisos, QStringList{"Não foi possível baixar o arquivo com a Base XML!"});
    }

    // The screens: the consortium's button publishes; the municipality's and the provider's screens
    // run by themselves once per working date.
    void telas()
    {
        test::ServidorFtp srv(QList<test::ServidorFtp::Conta>{{"cune01", "pw"}, {"cune03", "pw"}});
        srv.criaPasta("cune/marcacao");
        test::ServidorHttp http;
        http.grava("CUNE/versao.xml", documentoVersao());
        DefineAcoesAtualizacao({[](const QString&) { return true; }, [](const QString&) {}, [] {}});
        TelaExecucao::DefineEsperaFechamento(0);
        TFRecebBaseEntidades::DefineEsperaInicio(0);
        const QStringList conf{"CONSORCIO=CUNE", "FTPHOST=127.0.0.1", "FTPSENHA=pw", "FTPTEMPOTOTAL=20",
                               "PORTA=" + QString::number(srv.porta()), "SITEATUALIZACAO=" + http.url().chopped(1)};
        {
            test::AmbienteTela a(QStringLiteral("CUNE"), conf);
            test::PreparaMarcacao(a.b);
            auto* t = test::AbreTelaTeste(TFEnvioBaseCUNE::Abre());
            t->PBtnGravar()->click();
            QVERIFY(t->resultado().baseEnviada);
            QVERIFY(t->MStatus()->toPlainText().endsWith("PROCESSO CONCLUÍDO!!!"));
            test::SalvaTela(t, "TFEnvioBaseCUNE");
            t->close();
        }
        {
            test::AmbienteTela a(QStringLiteral("M4314902"), conf);
            SessaoAtual().DataAtual = kHoje;
            QPointer<TFRecebBaseMunicipios> t = test::AbreTelaTeste(TFRecebBaseMunicipios::Abre());
            QTRY_VERIFY(t.isNull() || t->resultado().concluida);
            QCOMPARE(a.texto("select count(*) from procedimentos"), QString("24"));
            QTRY_VERIFY(t.isNull()); // closes itself after a completed run
            // Received today: opening again waits for the button.
            t = test::AbreTelaTeste(TFRecebBaseMunicipios::Abre());
            QTest::qWait(50);
            QVERIFY(t->MStatus()->toPlainText().isEmpty());
            QVERIFY(t->PBtnGravar()->isEnabled());
            test::SalvaTela(t, "TFRecebBaseMunicipios");
            t->close();
        }
        {
            test::AmbienteTela a(QStringLiteral("E0000010"), conf);
            SessaoAtual().DataAtual = kHoje;
            auto* t = test::AbreTelaTeste(CriaTela<TFRecebBaseEntidades>());
            QTRY_VERIFY(t->resultado().terminou);
            QVERIFY(t->resultado().concluida);
            QVERIFY(t->PBtnGravar()->isEnabled());
            QVERIFY(t->MStatus()->toPlainText().contains(" => Atualização da Tabela procedimentos...(OK)"));
            QCOMPARE(a.texto("select count(*) from procedimentos"), QString("24"));
            test::SalvaTela(t, "TFRecebBaseEntidades");
            t->close();
        }
        TelaExecucao::DefineEsperaFechamento(6000);
        TFRecebBaseEntidades::DefineEsperaInicio(1000);
        DefineAcoesAtualizacao({});
    }
};

QTEST_MAIN(TstBaseCadastral)
#include "tst_basecadastral.moc"
