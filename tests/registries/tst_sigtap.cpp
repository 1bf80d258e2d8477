// The SIGTAP import: table files written here, read and imported into a real database; the
// download from a local HTTP server; the screen driven offscreen.
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/SigTap.h"
#include "registries/TFImportacaoSigTAP.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"
#include "support/ServidorHttp.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QtTest>

using namespace vx;

namespace {

QByteArray digitos(qint64 v, int largura)
{
    return QByteArray::number(v).rightJustified(largura, '0');
}

// A tb_procedimento.txt record: code, name, the fields up to 282, the three values as given, the
// rest filled up to `tamanho` characters.
QByteArray registro(const QByteArray& codigo, const QByteArray& sh, const QByteArray& sa, const QByteArray& sp,
                    int tamanho, const QByteArray& antesDosValores = {})
{
    QByteArray l = codigo.leftJustified(10, ' ') + QByteArray("PROCEDIMENTO ") + codigo;
    l = l.leftJustified(260, ' ') + QByteArray(22, '0') + antesDosValores + sh + sa + sp;
    return l.leftJustified(tamanho, '0', true);
}
// Current records (336 characters, 12-digit values) and older ones (10 digits, 324 characters).
QByteArray atual(const QByteArray& codigo, qint64 sh, qint64 sa, qint64 sp)
{
    return registro(codigo, digitos(sh, 12), digitos(sa, 12), digitos(sp, 12), 336);
}
QByteArray antigo(const QByteArray& codigo, qint64 sh, qint64 sa, qint64 sp)
{
    return registro(codigo, digitos(sh, 10), digitos(sa, 10), digitos(sp, 10), 324);
}

QByteArray linhas(const QList<QByteArray>& l)
{
    QByteArray r;
    for (const QByteArray& x : l)
        r += x + "\r\n";
    return r;
}

QByteArray ocupacao(const char* codigo, const QString& nome)
{
    return QByteArray(codigo) + nome.toLatin1().leftJustified(150, ' ') + "202601";
}

const QByteArray kLayoutAtual =
    "Coluna,Tamanho,Inicio,Fim,Tipo\r\nCO_PROCEDIMENTO,10,1,10,VARCHAR2\r\nNO_PROCEDIMENTO,250,11,260,VARCHAR2\r\n"
    "VL_SH,12,283,294,NUMBER\r\nVL_SA,12,295,306,NUMBER\r\nVL_SP,12,307,318,NUMBER\r\nDT_COMPETENCIA,6,331,336,CHAR\r\n";

// A table as imported: CBO rows and procedures "code:VALORSUS:REGISTRO".
QString cbos(test::BancoTeste& b)
{
    return b.valor("select list(codigo || '=' || descricao, '|') from (select * from cbo order by codigo)").toString();
}
QString procedimentos(test::BancoTeste& b)
{
    return b.valor("select list(codigo || ':' || coalesce(valorsus, '-') || ':' || coalesce(registro, '-'), ' ') "
                   "from (select * from procedimentos order by codigo)")
        .toString();
}
void procedimento(test::BancoTeste& b, int codigo, const char* codTabSus, const char* registroAtual = "I")
{
    b.executa(QStringLiteral("insert into procedimentos (codigo, nome, valorsus, codtabsus, registro) values "
                             "(%1, 'P%1', 99, %2, '%3')")
                  .arg(codigo)
                  .arg(codTabSus ? SqlTexto(QLatin1String(codTabSus)) : QStringLiteral("null"))
                  .arg(QLatin1String(registroAtual)));
}

// The files of a small table: three occupations, prices of A (10,00) and B (1.234,56), A and B
// registered.
void tabelaValida(const QString& pasta)
{
    QDir().mkpath(pasta);
    const QDir d(pasta);
    test::GravaArquivo(d.filePath(kSigTapOcupacao),
                       linhas({ocupacao("225125", QStringLiteral("MEDICO CLINICO")),
                               ocupacao("2231F9", QStringLiteral("MÉDICO RESIDENTE")),
                               ocupacao("223505", QStringLiteral("ENFERMEIRO"))}));
    test::GravaArquivo(d.filePath(kSigTapProcedimento),
                       linhas({atual("0301010072", 0, 1000, 0), atual("0202020380", 0, 123456, 0)}));
    test::GravaArquivo(d.filePath(kSigTapRegistro), linhas({"0301010072" "02" "202601", "0202020380" "01" "202601"}));
    test::GravaArquivo(d.filePath(kSigTapProcedOcupacao), linhas({"0301010072" "225125" "202601"}));
}

const char* const kCbosValidos = "2231F9=MÉDICO RESIDENTE|223505=ENFERMEIRO|225125=MEDICO CLINICO";

} // namespace

class TstSigTap : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { delete InstanciaTela<TFImportacaoSigTAP>(); }
    void precos_data();
    void precos();
    void registros();
    void ocupacaoVazia();
    void arquivoInvalido_data();
    void arquivoInvalido();
    void baixa();
    void tela_data();
    void tela();
};

// Values by the layout file or by the record's length; the price rule.
void TstSigTap::precos_data()
{
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QByteArray>("tabela");
    QTest::addColumn<QString>("valorSus");
    QTest::newRow("atual, segundo valor") << QByteArray() << atual("0301010072", 0, 1000, 0) << "10.00";
    QTest::newRow("atual, milhares") << QByteArray() << atual("0301010072", 7, 123456, 9) << "1234.56";
    QTest::newRow("atual, primeiro + terceiro") << QByteArray() << atual("0301010072", 100000, 0, 23456) << "1234.56";
    QTest::newRow("antigo, primeiro + terceiro") << QByteArray() << antigo("0301010072", 1000, 0, 550) << "15.50";
    QTest::newRow("antigo, segundo valor") << QByteArray() << antigo("0301010072", 1000, 2000, 550) << "20.00";
    QTest::newRow("layout atual") << kLayoutAtual << atual("0301010072", 0, 1000, 0) << "10.00";
    // A later table with a field before the values: only the layout file places them.
    QTest::newRow("layout deslocado, LF e brancos")
        << QByteArray("Coluna, Tamanho, Inicio, Fim, Tipo\n\n\"CO_PROCEDIMENTO\",10,1,10,VARCHAR2\n"
                      "VL_SH , 12 , 287 , 298 , NUMBER\nVL_SA,12,299,310,NUMBER\nVL_SP,12,311,322,NUMBER\n")
        << registro("0301010072", digitos(1000, 12), digitos(0, 12), digitos(550, 12), 340, "9999") << "15.50";
}

void TstSigTap::precos()
{
    QFETCH(QByteArray, layout);
    QFETCH(QByteArray, tabela);
    QFETCH(QString, valorSus);
    test::BancoTeste b;
    procedimento(b, 1, "0301010072");
    procedimento(b, 2, "0202020380");
    const QString pasta = QDir(b.pasta()).filePath(QStringLiteral("sigtap"));
    tabelaValida(pasta);
    test::GravaArquivo(QDir(pasta).filePath(kSigTapProcedimento), tabela + "\r\n");
    if (!layout.isEmpty())
        test::GravaArquivo(QDir(pasta).filePath(kSigTapLayout), layout);
    const ResultadoSigTap r = ImportaSigTap(b.tr(), pasta, {false, true});
    QCOMPARE(r.precos, 1);
    QCOMPARE(procedimentos(b), QStringLiteral("1:%1:I 2:99.00:C").arg(valorSus));
}

// CBO replaced as a whole (Latin-1 names, codes with letters); REGISTRO rebuilt in file order
// without repeating a letter; codes matched with the engine's trailing-blank rule; everything stays
// the same on a second run.
void TstSigTap::registros()
{
    test::BancoTeste b;
    procedimento(b, 1, "0301010072");
    procedimento(b, 2, "0202020380");
    procedimento(b, 3, "0202010473");
    procedimento(b, 4, "0204030153", "C"); // not in the registro file
    procedimento(b, 5, nullptr);
    procedimento(b, 6, "0301010072", "");  // same code as 1
    procedimento(b, 7, "0205020046");       // instrument 03 only
    procedimento(b, 8, "0206010079 ");
    b.executa("insert into cbo (codigo, descricao) values ('999999', 'EXTINTA')");
    const QString pasta = QDir(b.pasta()).filePath(QStringLiteral("sigtap"));
    tabelaValida(pasta);
    test::GravaArquivo(QDir(pasta).filePath(kSigTapRegistro),
                       linhas({"0301010072" "01", "0202020380" "02", "0301010072" "02", "0202010473" "01",
                               "0202010473" "01", "0202020380" "01", "0202010473" "01", "0205020046" "03",
                               "0206010079" "02", "0999999999" "01"}));
    const QString esperado = QStringLiteral("1:10.00:CI 2:1234.56:IC 3:99.00:C 4:99.00: 5:99.00: 6:10.00:CI 7:99.00: 8:99.00:I");
    for (int vez = 1; vez <= 2; ++vez) {
        QStringList textos;
        const ResultadoSigTap r = ImportaSigTap(b.tr(), pasta, {}, [&](const QString& t) { textos << t; });
        QCOMPARE(procedimentos(b), esperado);
        QCOMPARE(cbos(b), QString::fromUtf8(kCbosValidos));
        QCOMPARE(r.ocupacoes, 3);
        QCOMPARE(r.precos, 2);
        QCOMPARE(r.registros, 6);
        QCOMPARE(textos.size(), 1 + 3 + 2 + 10);
        QCOMPARE(textos.mid(0, 2), (QStringList{"Excluindo CBOs antigos... ", "Processando CBO 000000 de 000003"}));
        QCOMPARE(textos.at(3), QStringLiteral("Processando CBO 000002 de 000003"));
        QCOMPARE(textos.at(4), QStringLiteral("Processando Proced. (Parte 1 de 2) 0 de 2"));
        QCOMPARE(textos.last(), QStringLiteral("Processando Proced. (Parte 2 de 2) 9 de 10"));
        QCOMPARE(b.valor("select count(*) from logs where tabela='SIGTAP' and situacao='I'").toInt(), vez);
    }
}

// An empty tb_ocupacao.txt leaves CBO as it was.
void TstSigTap::ocupacaoVazia()
{
    test::BancoTeste b;
    b.executa("insert into cbo (codigo, descricao) values ('999999', 'EXTINTA')");
    const QString pasta = QDir(b.pasta()).filePath(QStringLiteral("sigtap"));
    QDir().mkpath(pasta);
    test::GravaArquivo(QDir(pasta).filePath(kSigTapOcupacao), "\r\n \r\n");
    QStringList vistos;
    ImportaSigTap(b.tr(), pasta, {true, false}, [&](const QString& t) { vistos << t; });
    QCOMPARE(cbos(b), QStringLiteral("999999=EXTINTA"));
    QVERIFY(vistos.isEmpty());
}

// Any bad line of any file is reported with its file and line, before anything is written.
void TstSigTap::arquivoInvalido_data()
{
    QTest::addColumn<QString>("arquivo");
    QTest::addColumn<QByteArray>("conteudo");
    QTest::addColumn<QString>("erro");
    QTest::newRow("procedimento curto")
        << kSigTapProcedimento << linhas({atual("0301010072", 0, 1000, 0), atual("0202020380", 0, 1000, 0).left(300)})
        << "Arquivo tb_procedimento.txt, linha 2: linha com 300 caracteres, curta para VL_SA (posições 293 a 302)";
    QTest::newRow("valor não numérico")
        << kSigTapProcedimento << linhas({registro("0301010072", digitos(0, 12), "00000000 100", digitos(0, 12), 336)})
        << "Arquivo tb_procedimento.txt, linha 1: VL_SA não numérico: \"00000000 100\"";
    QTest::newRow("procedimento sem código")
        << kSigTapProcedimento << linhas({atual("          ", 0, 1000, 0)})
        << "Arquivo tb_procedimento.txt, linha 1: CO_PROCEDIMENTO vazio";
    QTest::newRow("registro curto, linhas em branco contadas")
        << kSigTapRegistro << QByteArray("0301010072" "02\r\n\r\n0202020380\r\n")
        << "Arquivo rl_procedimento_registro.txt, linha 3: linha com 10 caracteres, curta para CO_REGISTRO (posições 11 a 12)";
    QTest::newRow("registro vazio") << kSigTapRegistro << QByteArray("\r\n")
                                    << "Arquivo rl_procedimento_registro.txt vazio: nada foi importado.";
    QTest::newRow("ocupação sem código") << kSigTapOcupacao << linhas({"      ENFERMEIRO"})
                                         << "Arquivo tb_ocupacao.txt, linha 1: CO_OCUPACAO vazio";
    QTest::newRow("layout sem VL_SP") << kSigTapLayout << QByteArray("Coluna,Tamanho,Inicio,Fim,Tipo\nCO_PROCEDIMENTO,10,1,10,"
                                                                     "X\nVL_SH,12,283,294,N\nVL_SA,12,295,306,N\n")
                                      << "Arquivo tb_procedimento_layout.txt: falta a coluna VL_SP";
    QTest::newRow("preço acima de NUMERIC(10,2)")
        << kSigTapProcedimento << linhas({atual("0301010072", 0, 10000000000LL, 0)})
        << "Arquivo tb_procedimento.txt, linha 1: preço 100.000.000,00 acima do maior valor aceito";
}

void TstSigTap::arquivoInvalido()
{
    QFETCH(QString, arquivo);
    QFETCH(QByteArray, conteudo);
    QFETCH(QString, erro);
    test::BancoTeste b;
    procedimento(b, 1, "0301010072");
    b.executa("insert into cbo (codigo, descricao) values ('999999', 'EXTINTA')");
    const QString pasta = QDir(b.pasta()).filePath(QStringLiteral("sigtap"));
    tabelaValida(pasta);
    test::GravaArquivo(QDir(pasta).filePath(arquivo), conteudo);
    QString visto;
    try {
        ImportaSigTap(b.tr(), pasta, {});
    } catch (const std::exception& e) {
        visto = TextoErro(e);
    }
    QCOMPARE(visto, erro);
    QCOMPARE(cbos(b), QStringLiteral("999999=EXTINTA"));
    QCOMPARE(procedimentos(b), QStringLiteral("1:99.00:I"));
    QCOMPARE(b.valor("select count(*) from logs").toInt(), 0);
}

// Each local copy is deleted before its download; an HTTP error or a cut transfer leaves no file;
// the layout file may be missing on the server.
void TstSigTap::baixa()
{
    test::ServidorHttp srv;
    QVERIFY2(srv.ativo(), qPrintable(srv.erro()));
    QTemporaryDir origem, local;
    tabelaValida(origem.path());
    for (const QString& a : ArquivosSigTap())
        if (a != QLatin1String(kSigTapRegistro))
            srv.grava(QStringLiteral("t/") + a, test::LeArquivo(QDir(origem.path()).filePath(a)));
    srv.corta(QStringLiteral("/t/") + kSigTapOcupacao, 50);
    const QStringList todos = ArquivosSigTap() << kSigTapLayout;
    for (const QString& a : todos)
        test::GravaArquivo(QDir(local.path()).filePath(a), "antigo\r\n");
    QStringList textos;
    const QStringList falhas = BaixaTabelasSigTap(local.path(), srv.url(QStringLiteral("t")), [&](const QString& t) { textos << t; });
    QCOMPARE(textos, (QStringList{"Baixando arquivo 1 de 4 => tb_ocupacao.txt. Aguarde...",
                                  "Baixando arquivo 2 de 4 => tb_procedimento.txt. Aguarde...",
                                  "Baixando arquivo 3 de 4 => rl_procedimento_registro.txt. Aguarde...",
                                  "Baixando arquivo 4 de 4 => rl_procedimento_ocupacao.txt. Aguarde..."}));
    QCOMPARE(falhas.size(), 2);
    QVERIFY2(falhas[0].startsWith(QLatin1String("tb_ocupacao.txt: ")), qPrintable(falhas[0]));
    QVERIFY2(falhas[1].startsWith(QLatin1String("rl_procedimento_registro.txt: ")), qPrintable(falhas[1]));
    QCOMPARE(QDir(local.path()).entryList(QDir::Files, QDir::Name),
             (QStringList{"rl_procedimento_ocupacao.txt", "tb_procedimento.txt"}));
    QCOMPARE(test::LeArquivo(QDir(local.path()).filePath(kSigTapProcedimento)),
             test::LeArquivo(QDir(origem.path()).filePath(kSigTapProcedimento)));
}

// The screen: download (or the files already there), options by the files, one run.
void TstSigTap::tela_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<QString>("rotulos");
    QTest::addColumn<QString>("habilitadas");
    QTest::addColumn<QString>("cbo");
    QTest::addColumn<QString>("proceds");
    const QString todos = QStringLiteral("Arquivo tb_ocupacao.txt ok!|Arquivo tb_procedimento.txt ok!|"
                                         "Arquivo rl_procedimento_registro.txt ok!|Arquivo rl_procedimento_ocupacao.txt ok!");
    const QString importados = QStringLiteral("1:10.00:I 2:1234.56:C");
    QTest::newRow("baixados") << "baixados" << todos << "111" << QString::fromUtf8(kCbosValidos) << importados;
    QTest::newRow("sem endereço, arquivos da pasta")
        << "locais" << todos << "111" << QString::fromUtf8(kCbosValidos) << importados;
    QTest::newRow("cortado e 404")
        << "falhas"
        << "Falta Arquivo tb_ocupacao.txt!|Arquivo tb_procedimento.txt ok!|Falta Arquivo rl_procedimento_registro.txt!|"
           "Arquivo rl_procedimento_ocupacao.txt ok!"
        << "001" << "999999=EXTINTA" << "1:99.00:X 2:99.00:X";
}

void TstSigTap::tela()
{
    QFETCH(QString, caso);
    QFETCH(QString, rotulos);
    QFETCH(QString, habilitadas);
    QFETCH(QString, cbo);
    QFETCH(QString, proceds);
    test::ServidorHttp srv;
    QVERIFY2(srv.ativo(), qPrintable(srv.erro()));
    QTemporaryDir origem;
    tabelaValida(origem.path());
    for (const QString& a : ArquivosSigTap())
        if (caso != QLatin1String("falhas") || a != QLatin1String(kSigTapRegistro))
            srv.grava(QStringLiteral("sigtap/") + a, test::LeArquivo(QDir(origem.path()).filePath(a)));
    if (caso == QLatin1String("falhas"))
        srv.corta(QStringLiteral("/sigtap/") + kSigTapOcupacao, 100);
    test::AmbienteTela a(QStringLiteral("CUNE"), caso == QLatin1String("locais")
                                                     ? QStringList()
                                                     : QStringList{QStringLiteral("SIGTAPURL=") + srv.url(QStringLiteral("sigtap"))});
    procedimento(a.b, 1, "0301010072", "X");
    procedimento(a.b, 2, "0202020380", "X");
    a.b.executa("insert into cbo (codigo, descricao) values ('999999', 'EXTINTA')");
    const QDir pasta(QDir(a.b.pasta()).filePath(QStringLiteral("sigtap")));
    if (caso == QLatin1String("locais"))
        tabelaValida(pasta.path());
    else {
        QDir().mkpath(pasta.path());
        for (const QString& f : ArquivosSigTap())
            test::GravaArquivo(pasta.filePath(f), "0301010072 antigo\r\n");
    }

    TelaRegistrada(QStringLiteral("ImportaoSIGTAP1"))();
    auto* t = test::AbreTelaTeste(InstanciaTela<TFImportacaoSigTAP>());
    QVERIFY(t);
    QTRY_VERIFY(t->preparada());
    QCOMPARE(t->windowTitle(), QStringLiteral("Importação de tabelas do SIGTAP"));
    QCOMPARE(t->pasta(), pasta.path());
    QStringList vistos;
    for (QLabel* l : {t->LCBO(), t->LProcedimentos(), t->LRegistro(), t->LProcedCBO()}) {
        vistos << l->text();
        QCOMPARE(l->palette().color(QPalette::WindowText),
                 l->text().startsWith(QLatin1String("Falta")) ? QColor(255, 0, 0) : QColor(0, 128, 0));
    }
    QCOMPARE(vistos.join(QLatin1Char('|')), rotulos);
    QString h;
    for (QCheckBox* c : {t->CBCBO(), t->CBProcedimentos(), t->CBProcedCBO()}) {
        QVERIFY(c->isChecked());
        h += c->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    }
    QCOMPARE(h, habilitadas);
    if (caso == QLatin1String("baixados"))
        test::SalvaTela(t, QStringLiteral("tfimportacaosigtap"));

    t->PBOK()->executa();
    QCOMPARE(t->LAguardeConcluido()->text(), QStringLiteral("Importação Concluída!"));
    QCOMPARE(a.msgs.textos(), QStringList{QStringLiteral("Importação Concluída")});
    QVERIFY(t->PBOK()->isEnabled());
    QCOMPARE(cbos(a.b), cbo);
    QCOMPARE(procedimentos(a.b), proceds);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!InstanciaTela<TFImportacaoSigTAP>());
}

QTEST_MAIN(TstSigTap)
#include "tst_sigtap.moc"
