#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/Texto1252.h"
#include "support/Fixtures.h"
#include "support/Parecidos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <memory>

using namespace vx;

class TstUFunc : public QObject {
    Q_OBJECT

    std::unique_ptr<test::BancoTeste> m_parecidos;
    test::BancoTeste& bancoParecidos();

private slots:
    void sqlTexto_data();
    void sqlTexto();
    void aspasParecidas_data();
    void aspasParecidas();
    void sqlInteiro_data();
    void sqlInteiro();
    void sqlDecimal_data();
    void sqlDecimal();
    void sqlData_data();
    void sqlData();
    void literaisRecusados_data();
    void literaisRecusados();
    void zerosEsquerda_data();
    void zerosEsquerda();
    void ajustaTexto_data();
    void ajustaTexto();
    void formataValor_data();
    void formataValor();
    void datas();
    void anoCompleto_data();
    void anoCompleto();
    void idadeAnos_data();
    void idadeAnos();
    void valorExtenso_data();
    void valorExtenso();
    void valorExtensoForaDoLimite();
    void listaArquivos();
    void descompacta();
    void nomeInstalacao_data();
    void nomeInstalacao();
};

void TstUFunc::sqlTexto_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("sql");
    QTest::newRow("aspas") << "O'BRIEN" << "'O''BRIEN'";
    QTest::newRow("vazio") << "" << "''";
    QTest::newRow("mascara de data") << "  /  /    " << "null";
    QTest::newRow("mascara com hora nao e nula") << "  /  /       :  " << "'  /  /       :  '";
    QTest::newRow("injecao") << "x' or '1'='1" << "'x'' or ''1''=''1'";
    // Characters that become a quote in Windows-1252 are mapped before the quotes are doubled.
    QTest::newRow("aspa larga") << QString::fromUtf8("O\uFF07BRIEN") << "'O''BRIEN'";
    QTest::newRow("primo") << QString::fromUtf8("x\u2032 or \u20321\u2032=\u20321") << "'x'' or ''1''=''1'";
    QTest::newRow("aspa curva fica") << QString::fromUtf8("D\u2019ALVA") << QString::fromUtf8("'D\u2019ALVA'");
    QTest::newRow("fora do 1252") << QString::fromUtf8("\u0141\u02BC") << "'L?'";
}

void TstUFunc::sqlTexto()
{
    QFETCH(QString, entrada);
    QFETCH(QString, sql);
    QCOMPARE(SqlTexto(entrada), sql);
}

// Names holding each look-alike of the apostrophe, stored through parameters (ids from 1), plus
// two plain names.
test::BancoTeste& TstUFunc::bancoParecidos()
{
    if (!m_parecidos) {
        m_parecidos = std::make_unique<test::BancoTeste>();
        m_parecidos->executa("create table parecidos (id integer not null, nome varchar(80))");
        Transacao& tr = m_parecidos->tr();
        tr.inicia();
        int id = 0;
        for (QChar c : test::ParecidosComAspa())
            tr.executa("insert into parecidos (id, nome) values (?, ?)", {++id, QStringLiteral("A%1B").arg(c)});
        tr.executa("insert into parecidos (id, nome) values (?, ?)", {++id, "AB"});
        tr.executa("insert into parecidos (id, nome) values (?, ?)", {++id, "A B"});
        tr.commit();
    }
    return *m_parecidos;
}

void TstUFunc::aspasParecidas_data()
{
    QTest::addColumn<QString>("c");
    const QList<QChar> viram = test::ViramNo1252('\'');
    // The table below covers what the conversion does today; a character added to it shows here.
    QVERIFY(viram.contains(QChar(0xFF07)));
    QVERIFY(viram.contains(QChar(0x2032)));
    for (QChar c : test::ParecidosComAspa())
        QTest::newRow(qPrintable(test::NomeCodigo(c))) << QString(c);
}

// Against the database: a text with the character is stored as the conversion gives it, and a
// statement with it as a literal finds exactly the rows whose stored text holds it, never fails.
void TstUFunc::aspasParecidas()
{
    QFETCH(QString, c);
    test::BancoTeste& b = bancoParecidos();
    Transacao& tr = b.tr();
    tr.inicia();
    const QStringList textos{"A" + c + "B", "Z" + c + " or 1=1 or " + c + "Z",
                             "Z" + c + " || (select first 1 rdb$relation_name from rdb$relations) || " + c,
                             c + c + c, c + ")) --"};
    for (int i = 0; i < textos.size(); ++i)
        tr.executa(QStringLiteral("insert into parecidos (id, nome) values (%1, %2)").arg(1000 + i).arg(SqlTexto(textos[i])));
    QMap<int, QString> guardados;
    Consulta q(tr);
    for (q.abre("select id, nome from parecidos"); !q.eof(); q.proximo())
        guardados.insert(q.campo(0).inteiro(), q.campo(1).texto());
    q.fecha();
    for (int i = 0; i < textos.size(); ++i)
        QCOMPARE(guardados.value(1000 + i), ajustaPara1252(textos[i]));

    const auto ids = [&](const QString& sql) {
        QList<int> r;
        for (q.abre(sql + " order by id"); !q.eof(); q.proximo())
            r << int(q.campo(0).inteiro());
        q.fecha();
        return r;
    };
    const auto esperados = [&](auto cond) {
        QList<int> r;
        for (auto it = guardados.cbegin(); it != guardados.cend(); ++it)
            if (cond(it.value()))
                r << it.key();
        return r;
    };
    for (const QString& t : textos + QStringList{"A" + c + "B' or '1'='1"}) {
        const QString guardado = ajustaPara1252(t);
        QCOMPARE(ids("select id from parecidos where nome = " + SqlTexto(t)),
                 esperados([&](const QString& n) { return n == guardado; }));
    }
    const QString cg = ajustaPara1252(c);
    QCOMPARE(ids("select id from parecidos where position(" + SqlTexto(c) + " in nome) > 0"),
             esperados([&](const QString& n) { return n.contains(cg); }));
    tr.rollback();
}

void TstUFunc::sqlInteiro_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("sql");
    QTest::newRow("zero") << "0" << "null";
    QTest::newRow("vazio") << "" << "null";
    QTest::newRow("brancos") << "   " << "null";
    QTest::newRow("numero") << "4300001" << "4300001";
    QTest::newRow("aparado") << " 12 " << "12";
    QTest::newRow("negativo") << "-5" << "-5";
    QTest::newRow("zeros a esquerda") << "007" << "007";
}

void TstUFunc::sqlInteiro()
{
    QFETCH(QString, entrada);
    QFETCH(QString, sql);
    QCOMPARE(SqlInteiro(entrada), sql);
}

void TstUFunc::sqlDecimal_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("sql");
    QTest::newRow("vazio") << "" << "0";
    QTest::newRow("milhar") << "1.234,56" << "1234.56";
    QTest::newRow("sem milhar") << "37,5" << "37.5";
    QTest::newRow("inteiro") << "12" << "12";
    QTest::newRow("negativo") << "-1.000,10" << "-1000.10";
    QTest::newRow("so virgula") << ",5" << "0.5";
    QTest::newRow("grande") << "999.999.999.999,99" << "999999999999.99";
}

void TstUFunc::sqlDecimal()
{
    QFETCH(QString, entrada);
    QFETCH(QString, sql);
    QCOMPARE(SqlDecimal(entrada), sql);
}

void TstUFunc::sqlData_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<QString>("sql");
    QTest::newRow("data") << "25/12/2015" << "'12/25/2015'";
    QTest::newRow("data e hora sem segundos") << "25/12/2015 14:30:00" << "'12/25/2015 14:30'";
    QTest::newRow("data e hora") << "01/02/2016 08:05" << "'02/01/2016 08:05'";
    QTest::newRow("vazio") << "" << "null";
    QTest::newRow("mascara") << "  /  /    " << "null";
    QTest::newRow("mascara com hora") << "  /  /       :  " << "null";
    QTest::newRow("hora em branco") << "25/12/2015   :  " << "'12/25/2015 00:00'";
    // Two-digit years: a birth date 30 years back stays in the past, a due date 10 years ahead.
    const int ano = QDate::currentDate().year();
    QTest::newRow("ano curto passado")
        << QStringLiteral("15/06/%1").arg((ano - 30) % 100, 2, 10, QLatin1Char('0'))
        << QStringLiteral("'06/15/%1'").arg(ano - 30);
    QTest::newRow("ano curto futuro com hora")
        << QStringLiteral("15/06/%1 10:00").arg((ano + 10) % 100, 2, 10, QLatin1Char('0'))
        << QStringLiteral("'06/15/%1 10:00'").arg(ano + 10);
}

void TstUFunc::sqlData()
{
    QFETCH(QString, entrada);
    QFETCH(QString, sql);
    QCOMPARE(SqlData(entrada), sql);
}

// Anything that is not a plain number never reaches SQL text.
void TstUFunc::literaisRecusados_data()
{
    QTest::addColumn<QString>("funcao");
    QTest::addColumn<QString>("entrada");
    QTest::newRow("inteiro com or") << "inteiro" << "1 or 1=1";
    QTest::newRow("inteiro com ponto e virgula") << "inteiro" << "1; delete from pessoas";
    QTest::newRow("inteiro com comentario") << "inteiro" << "1--";
    QTest::newRow("inteiro decimal") << "inteiro" << "1,5";
    QTest::newRow("inteiro so sinal") << "inteiro" << "-";
    QTest::newRow("inteiro digito arabe") << "inteiro" << QString::fromUtf8("١٢");
    QTest::newRow("decimal com or") << "decimal" << "1 or 1=1";
    QTest::newRow("decimal com parenteses") << "decimal" << "(select 1)";
    QTest::newRow("decimal duas virgulas") << "decimal" << "1,2,3";
    QTest::newRow("decimal ponto depois da virgula") << "decimal" << "1,2.3";
    QTest::newRow("decimal so sinal") << "decimal" << "-";
    QTest::newRow("decimal enorme") << "decimal" << "12345678901234567890";
    QTest::newRow("data invalida") << "data" << "31/02/2015";
    QTest::newRow("data com injecao") << "data" << "01/01/2015') or ('1'='1";
    QTest::newRow("zeros nao numerico") << "zeros" << "12A";
}

void TstUFunc::literaisRecusados()
{
    QFETCH(QString, funcao);
    QFETCH(QString, entrada);
    if (funcao == "inteiro")
        QVERIFY_THROWS_EXCEPTION(ErroValor, SqlInteiro(entrada));
    else if (funcao == "decimal") {
        QVERIFY_THROWS_EXCEPTION(ErroValor, SqlDecimal(entrada));
        QVERIFY_THROWS_EXCEPTION(ErroValor, DecimalTexto(entrada));
    } else if (funcao == "data")
        QVERIFY_THROWS_EXCEPTION(ErroValor, SqlData(entrada));
    else
        QVERIFY_THROWS_EXCEPTION(ErroValor, ZerosEsquerda(entrada, 5));
}

void TstUFunc::zerosEsquerda_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<int>("largura");
    QTest::addColumn<QString>("saida");
    QTest::newRow("preenche") << "0042" << 7 << "0000042";
    QTest::newRow("maior fica inteiro") << "12345678" << 5 << "12345678";
    QTest::newRow("vazio conta zero") << "" << 3 << "000";
    QTest::newRow("exato") << "123" << 3 << "123";
    QTest::newRow("so zeros") << "0000" << 2 << "00";
    QTest::newRow("maior que 64 bits") << "000123456789012345678901234" << 5 << "123456789012345678901234";
}

void TstUFunc::zerosEsquerda()
{
    QFETCH(QString, entrada);
    QFETCH(int, largura);
    QFETCH(QString, saida);
    QCOMPARE(ZerosEsquerda(entrada, largura), saida);
}

void TstUFunc::ajustaTexto_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<int>("largura");
    QTest::addColumn<QString>("saida");
    QTest::newRow("preenche") << "ABC" << 5 << "ABC  ";
    QTest::newRow("corta") << "ABC" << 2 << "AB";
    QTest::newRow("vazio") << "" << 3 << "   ";
    QTest::newRow("acentos contam um") << QString::fromUtf8("JOSÉ") << 5 << QString::fromUtf8("JOSÉ ");
}

void TstUFunc::ajustaTexto()
{
    QFETCH(QString, entrada);
    QFETCH(int, largura);
    QFETCH(QString, saida);
    QCOMPARE(AjustaTexto(entrada, largura), saida);
}

void TstUFunc::formataValor_data()
{
    QTest::addColumn<qint64>("unscaled");
    QTest::addColumn<int>("escala");
    QTest::addColumn<QString>("mascara");
    QTest::addColumn<QString>("saida");
    QTest::newRow("milhar") << qint64(123456) << 2 << "###,##0.00" << "1.234,56";
    QTest::newRow("milhoes") << qint64(123456789012) << 2 << "###,##0.00" << "1.234.567.890,12";
    QTest::newRow("zero") << qint64(0) << 2 << "###,##0.00" << "0,00";
    QTest::newRow("centavos") << qint64(5) << 2 << "###,##0.00" << "0,05";
    QTest::newRow("negativo") << qint64(-123456) << 2 << "###,##0.00" << "-1.234,56";
    QTest::newRow("sem milhar") << qint64(123456) << 2 << "#####0.00" << "1234,56";
    QTest::newRow("arredonda meio para cima") << qint64(12345) << 3 << "###,##0.00" << "12,35";
    QTest::newRow("arredonda negativo") << qint64(-12345) << 3 << "###,##0.00" << "-12,35";
    QTest::newRow("negativo que vira zero") << qint64(-4) << 3 << "###,##0.00" << "0,00";
    QTest::newRow("float curto") << qint64(125) << 1 << "###########0.00########" << "12,50";
    QTest::newRow("float longo") << qint64(1234567) << 5 << "###########0.00########" << "12,34567";
    QTest::newRow("float zeros finais") << qint64(1234500) << 5 << "###########0.00########" << "12,345";
    QTest::newRow("inteiro") << qint64(7) << 0 << "###,##0.00" << "7,00";
}

void TstUFunc::formataValor()
{
    QFETCH(qint64, unscaled);
    QFETCH(int, escala);
    QFETCH(QString, mascara);
    QFETCH(QString, saida);
    QCOMPARE(FormataValor(Decimal(unscaled, escala), mascara), saida);
}

void TstUFunc::datas()
{
    QCOMPARE(DataExtenso(QDate(2015, 3, 5)), QString::fromUtf8("5 de Março de 2015"));
    QCOMPARE(NomeMes(13), QString());
    QCOMPARE(LeData("29/02/2016"), QDate(2016, 2, 29));
    QVERIFY(!LeData("29/02/2015").isValid());
    QVERIFY(!LeData("  /  /    ").isValid());
    const int ano = QDate::currentDate().year() - 30;
    QCOMPARE(LeData(QStringLiteral("01/02/%1").arg(ano % 100, 2, 10, QLatin1Char('0'))), QDate(ano, 2, 1));
}

void TstUFunc::anoCompleto_data()
{
    QTest::addColumn<int>("ano");
    QTest::addColumn<int>("digitos");
    QTest::addColumn<int>("atual");
    QTest::addColumn<int>("esperado");
    QTest::newRow("nascimento") << 85 << 2 << 2026 << 1985;
    QTest::newRow("recente") << 16 << 2 << 2026 << 2016;
    QTest::newRow("inicio da janela") << 76 << 2 << 2026 << 1976;
    QTest::newRow("fim da janela") << 75 << 2 << 2026 << 2075;
    QTest::newRow("um digito") << 5 << 1 << 2026 << 2005;
    QTest::newRow("zero") << 0 << 2 << 2026 << 2000;
    QTest::newRow("virada de seculo") << 99 << 2 << 2040 << 1999;
    QTest::newRow("quatro digitos") << 1985 << 4 << 2026 << 1985;
    QTest::newRow("quatro digitos baixos") << 85 << 4 << 2026 << 85;
}

void TstUFunc::anoCompleto()
{
    QFETCH(int, ano);
    QFETCH(int, digitos);
    QFETCH(int, atual);
    QFETCH(int, esperado);
    QCOMPARE(AnoCompleto(ano, digitos, atual), esperado);
}

void TstUFunc::idadeAnos_data()
{
    QTest::addColumn<QDate>("nascimento");
    QTest::addColumn<QDate>("hoje");
    QTest::addColumn<int>("idade");
    QTest::newRow("aniversario hoje") << QDate(1985, 6, 15) << QDate(2015, 6, 15) << 30;
    QTest::newRow("vespera") << QDate(1985, 6, 16) << QDate(2015, 6, 15) << 29;
    QTest::newRow("mes anterior") << QDate(1985, 7, 1) << QDate(2015, 6, 30) << 29;
    QTest::newRow("mes seguinte") << QDate(1985, 5, 31) << QDate(2015, 6, 1) << 30;
    QTest::newRow("29 de fevereiro em ano comum") << QDate(2000, 2, 29) << QDate(2015, 2, 28) << 14;
    QTest::newRow("29 de fevereiro em marco") << QDate(2000, 2, 29) << QDate(2015, 3, 1) << 15;
}

void TstUFunc::idadeAnos()
{
    QFETCH(QDate, nascimento);
    QFETCH(QDate, hoje);
    QFETCH(int, idade);
    QCOMPARE(IdadeAnos(nascimento, hoje), idade);
}

void TstUFunc::valorExtenso_data()
{
    QTest::addColumn<qint64>("centavos");
    QTest::addColumn<QString>("palavras");
    QTest::newRow("1,00") << qint64(100) << "um real";
    QTest::newRow("2,50") << qint64(250) << "dois reais e cinquenta centavos";
    QTest::newRow("0,01") << qint64(1) << "um centavo";
    QTest::newRow("0,21") << qint64(21) << "vinte e um centavos";
    QTest::newRow("121,00") << qint64(12100) << "cento e vinte e um reais";
    QTest::newRow("1.001,00") << qint64(100100) << "um mil, um reais";
    QTest::newRow("1.200.000,00") << qint64(120000000) << QString::fromUtf8("um milhão, duzentos mil reais");
    QTest::newRow("0") << qint64(0) << "";
    QTest::newRow("600,00") << qint64(60000) << "seissentos reais";
    QTest::newRow("100,00") << qint64(10000) << "cem reais";
    QTest::newRow("100.000,00") << qint64(10000000) << "cem mil reais";
    QTest::newRow("1.000.000,00") << qint64(100000000) << QString::fromUtf8("um milhão reais");
    QTest::newRow("2.000.000.000,00") << qint64(200000000000) << QString::fromUtf8("dois bilhões reais");
    QTest::newRow("1.000.000.001,01") << qint64(100000000101)
                                      << QString::fromUtf8("um bilhão, um reais e um centavo");
    QTest::newRow("999.999.999.999,99") << qint64(99999999999999)
        << QString::fromUtf8("novecentos e noventa e nove bilhões, novecentos e noventa e nove milhões, "
                             "novecentos e noventa e nove mil, novecentos e noventa e nove reais e noventa e "
                             "nove centavos");
    QTest::newRow("314,07") << qint64(31407) << QString::fromUtf8("trezentos e quatorze reais e sete centavos");
}

void TstUFunc::valorExtenso()
{
    QFETCH(qint64, centavos);
    QFETCH(QString, palavras);
    QCOMPARE(ValorExtenso(Decimal::cents(centavos)), palavras);
}

void TstUFunc::valorExtensoForaDoLimite()
{
    QVERIFY_THROWS_EXCEPTION(ErroValor, ValorExtenso(Decimal::cents(100000000000000)));
    QVERIFY_THROWS_EXCEPTION(ErroValor, ValorExtenso(Decimal::cents(-1)));
    // Extra decimals are rounded to cents.
    QCOMPARE(ValorExtenso(Decimal(1005, 3)), QString("um real e um centavo"));
}

void TstUFunc::listaArquivos()
{
    QTemporaryDir d;
    for (const char* n : {"m2.XML", "M1.xml", "b.xml", "M10.xml", "Ma.txt", "okch M3.xml", "M[7].xml"}) {
        QFile f(d.filePath(n));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QDir(d.path()).mkdir("M5.xml"); // folders are not files
    QCOMPARE(ListaArquivos(d.filePath("M*.xml")), QStringList({"M1.xml", "M10.xml", "m2.XML", "M[7].xml"}));
    QCOMPARE(ListaArquivos(d.filePath("*.*")).size(), 7);
    QCOMPARE(ListaArquivos(d.filePath("M?.XML")), QStringList({"M1.xml", "m2.XML"}));
    QCOMPARE(ListaArquivos(d.filePath("M[7].xml")), QStringList({"M[7].xml"}));
    QCOMPARE(ListaArquivos(d.filePath("okch *")), QStringList({"okch M3.xml"}));
    QCOMPARE(ListaArquivos(d.filePath("nada*.xml")), QStringList());
    QCOMPARE(ListaArquivos(d.filePath("naoexiste/*.xml")), QStringList());
}

void TstUFunc::descompacta()
{
    QTemporaryDir d;
    QByteArray original;
    for (int i = 0; i < 5000; ++i)
        original += QByteArray::number(i * 7919) + ' ';
    uLongf tam = compressBound(uLong(original.size()));
    QByteArray comprimido(int(tam), '\0');
    QCOMPARE(compress2(reinterpret_cast<Bytef*>(comprimido.data()), &tam,
                       reinterpret_cast<const Bytef*>(original.constData()), uLong(original.size()), 9),
             Z_OK);
    comprimido.resize(int(tam));
    const auto grava = [&](const QString& nome, const QByteArray& b) {
        QFile f(d.filePath(nome));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(b);
    };
    grava("ok.zlib", comprimido);
    grava("truncado.zlib", comprimido.left(comprimido.size() / 2));
    grava("sem_fim.zlib", comprimido.left(comprimido.size() - 2));
    grava("lixo.zlib", "isto nao e zlib");
    grava("vazio.zlib", QByteArray());

    QVERIFY(DescompactaArquivo(d.filePath("ok.zlib"), d.filePath("ok.bin")));
    QFile saida(d.filePath("ok.bin"));
    QVERIFY(saida.open(QIODevice::ReadOnly));
    QCOMPARE(saida.readAll(), original);

    for (const char* n : {"truncado", "sem_fim", "lixo", "vazio", "naoexiste"}) {
        const QString destino = d.filePath(QString(n) + ".bin");
        QVERIFY2(!DescompactaArquivo(d.filePath(QString(n) + ".zlib"), destino), n);
        QVERIFY2(!QFile::exists(destino), n);
    }
    // A failed inflate leaves an existing destination as it was.
    QVERIFY(!DescompactaArquivo(d.filePath("truncado.zlib"), d.filePath("ok.bin")));
    QCOMPARE(QFileInfo(d.filePath("ok.bin")).size(), qint64(original.size()));
}

void TstUFunc::nomeInstalacao_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("nome");
    QTest::newRow("consorcio") << "cune consorcio" << "CUNE CONSORCIO";
    QTest::newRow("municipio") << "m4300001" << QString::fromUtf8("Município de SÃO JOSÉ");
    QTest::newRow("entidade") << "E12" << "Entidade: CLINICA X LTDA";
    QTest::newRow("profissional") << "P7" << "Profissional: ANA PAULA";
    QTest::newRow("municipio desconhecido") << "M4399999" << QString::fromUtf8("Município de ");
    QTest::newRow("outro papel") << "X1" << "";
    QTest::newRow("vazio") << "" << "";
}

void TstUFunc::nomeInstalacao()
{
    QFETCH(QString, usuario);
    QFETCH(QString, nome);
    test::BancoTeste b;
    b.executa(QString::fromUtf8("insert into clientes (codigo, nome) values ('4300001', 'SÃO JOSÉ')"));
    b.executa("insert into entidades (codigo, razaosocial) values (12, 'CLINICA X LTDA')");
    b.executa("insert into profissionais (codigo, nome) values (7, 'ANA PAULA')");
    test::InstalaConfiguracao(b.pasta(), {"USUARIO=" + usuario});
    TDMCUNE dm;
    QVERIFY(dm.ConectaBanco(b.arquivo()));
    QCOMPARE(NomeInstalacao(), nome);
}

QTEST_GUILESS_MAIN(TstUFunc)
#include "tst_ufunc.moc"
