// The patients' word pieces: computed as the database computes them, kept by the trigger through
// every change (and a rollback), filled once at start-up; the accent classes of the collation.
#include "core/Banco.h"
#include "core/UProcuraNome.h"
#include "core/Texto1252.h"
#include "core/schema/Catalogo.h"
#include "core/schema/IndicesBusca.h"
#include "support/Fixtures.h"
#include "support/Trechos.h"

#include <QtTest>

using namespace vx;

class TstIndicesBusca : public QObject {
    Q_OBJECT

    static int conta(test::BancoTeste& b, const QString& sql) { return b.valor(sql).toInt(); }

private slots:
    void trechosComoNoBanco_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("cartao");
        QTest::addColumn<QStringList>("trechos");
        QTest::newRow("nome") << "ANA DA SILVA" << "" << QStringList{"ANA", "SILVA", "ILVA", "LVA"};
        QTest::newRow("brancos a mais") << "  JOSÉ   DA  LUZ  " << "" << QStringList{"JOSÉ", "OSÉ", "LUZ"};
        QTest::newRow("palavra longa cortada") << "CONSTANTINOPOLITANA" << ""
            << QStringList{"CONSTANTINOP", "ONSTANTINOPO", "NSTANTINOPOL", "STANTINOPOLI", "TANTINOPOLIT",
                           "ANTINOPOLITA", "NTINOPOLITAN", "TINOPOLITANA", "INOPOLITANA", "NOPOLITANA",
                           "OPOLITANA", "POLITANA", "OLITANA", "LITANA", "ITANA", "TANA", "ANA"};
        QTest::newRow("apostrofo e hifen") << "D'ÁVILA ANA-LU" << ""
            << QStringList{"D'ÁVILA", "'ÁVILA", "ÁVILA", "VILA", "ILA", "ANA-LU", "NA-LU", "A-LU", "-LU"};
        QTest::newRow("cartao") << "" << "898001234567890"
            << QStringList{"898001234567", "980012345678", "800123456789", "001234567890", "01234567890",
                           "1234567890", "234567890", "34567890", "4567890", "567890", "67890", "7890", "890"};
        QTest::newRow("curtos") << "AB C DE" << "12" << QStringList{};
    }
    // The pieces the program expects are those the database's procedure gives.
    void trechosComoNoBanco()
    {
        QFETCH(QString, nome);
        QFETCH(QString, cartao);
        QFETCH(QStringList, trechos);
        QCOMPARE(TrechosDe(nome) + TrechosDe(cartao), trechos);
        test::BancoTeste b;
        b.tr().inicia();
        Consulta q(b.tr());
        QStringList doBanco;
        for (q.abre("select trecho from busca_trechos(?, ?)", {nome.isEmpty() ? QVariant() : nome, cartao}); !q.eof();
             q.proximo())
            doBanco << q.campo(0).texto();
        q.fecha();
        b.tr().commit();
        QCOMPARE(doBanco, trechos);
    }

    // Every change of a patient keeps its pieces in the same transaction.
    void mantidosPeloTrigger()
    {
        test::BancoTeste b;
        b.tr().inicia();
        QVERIFY(TrechosProntos(b.tr()));
        b.tr().commit();
        auto confere = [&](const char* passo) {
            b.tr().inicia();
            const QString d = test::DiferencaTrechos(b.tr());
            b.tr().commit();
            QVERIFY2(d.isEmpty(), qPrintable(QString::fromLatin1(passo) + ": " + d));
        };
        b.executa("insert into pessoas (cli_origem, codigo, nome, cartaosus) values "
                  "('4314902', 1, 'JOSÉ DA CONCEIÇÃO', '898001234567890')");
        b.executa("insert into pessoas (cli_origem, codigo, nome) values ('4300000', 1, 'MARIA DE FORA')");
        confere("insert");
        const int antes = conta(b, "select count(*) from busca_pessoas");
        b.executa("update pessoas set fones = '5132' where codigo = 1");
        QCOMPARE(conta(b, "select count(*) from busca_pessoas"), antes);
        b.executa("update pessoas set nome = 'JOSE CONCEICAO SOUZA' where cli_origem = '4314902' and codigo = 1");
        confere("name");
        b.executa("update pessoas set cartaosus = null where cli_origem = '4314902' and codigo = 1");
        confere("card");
        b.executa("update pessoas set codigo = 7 where cli_origem = '4314902' and codigo = 1");
        confere("code");
        QCOMPARE(conta(b, "select count(*) from busca_pessoas where cli_origem = '4314902' and codigo = 1"), 0);
        b.executa("update pessoas set nome = null where cli_origem = '4300000'");
        confere("null name");
        b.executa("delete from pessoas where cli_origem = '4314902'");
        confere("delete");
        // A save that rolls back takes its pieces with it.
        b.tr().inicia();
        b.tr().executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 9, 'DESFEITO DA SILVA')");
        QVERIFY(b.tr().valor("select count(*) from busca_pessoas where codigo = 9").toInt() > 0);
        b.tr().rollback();
        QCOMPARE(conta(b, "select count(*) from busca_pessoas where codigo = 9"), 0);
        confere("rollback");
    }

    // A database without the pieces (an older one) gets them at start-up, with progress; the
    // table's piece index is created last.
    void preenchidosUmaVez()
    {
        test::BancoTeste b;
        b.executa("alter trigger PESSOAS_AIUD_BUSCA inactive");
        b.executa("drop index IX_BUSCA_PESSOAS_TRECHO");
        b.executa("execute block as declare i integer = 0; begin while (i < 300) do begin "
                  "insert into pessoas (cli_origem, codigo, nome, cartaosus) values "
                  "(iif(mod(:i, 3) = 0, '4300000', '4314902'), :i, 'PACIENTE ' || :i || ' DA CONCEIÇÃO', '8980' || :i); "
                  "i = i + 1; end end");
        b.executa("alter trigger PESSOAS_AIUD_BUSCA active");
        b.tr().inicia();
        QVERIFY(!TrechosProntos(b.tr()));
        QStringList linhas;
        CriaIndicesBusca(b.tr(), [&](const QString& l) { linhas << l; });
        b.tr().commit();
        QCOMPARE(linhas.first(), QString("Preparando a busca de pacientes... 0%"));
        QCOMPARE(linhas.last(), QString("Preparando a busca de pacientes... 100%"));
        b.tr().inicia();
        QVERIFY(TrechosProntos(b.tr()));
        QCOMPARE(test::DiferencaTrechos(b.tr()), QString());
        // Once complete, nothing is filled again.
        linhas.clear();
        CriaIndicesBusca(b.tr(), [&](const QString& l) { linhas << l; });
        b.tr().commit();
        QVERIFY(linhas.isEmpty());
    }

    // The lowest byte of each character's class under the search collation, as the server has
    // the classes: every character comparing equal to c sorts at or after LimiteSemAcentos(c).
    void limiteIgualAoServidor()
    {
        test::BancoTeste b;
        b.tr().inicia();
        Consulta q(b.tr());
        QMap<int, int> menor;
        q.abre("execute block returns (b integer, c integer) as begin b = 32; while (b < 256) do begin "
               "if (b not in (37, 95, 127, 129, 141, 143, 144, 157)) then begin c = 32; while (c < 256) do begin "
               "if (c not in (37, 95, 127, 129, 141, 143, 144, 157) and "
               "cast(ascii_char(c) as char(1) character set win1252) collate win_ptbr like "
               "cast(ascii_char(b) as char(1) character set win1252)) then suspend; c = c + 1; end end "
               "b = b + 1; end end");
        for (; !q.eof(); q.proximo()) {
            const int bb = int(q.campo(0).i), c = int(q.campo(1).i);
            menor[bb] = menor.contains(bb) ? qMin(menor[bb], c) : c;
        }
        q.fecha();
        b.tr().commit();
        QCOMPARE(menor.size(), 256 - 32 - 8);
        for (auto it = menor.cbegin(); it != menor.cend(); ++it) {
            const QString c = de1252(QByteArray(1, char(it.key())));
            QCOMPARE(int(uchar(para1252(LimiteSemAcentos(c)).at(0))), it.value());
        }
    }
};

QTEST_GUILESS_MAIN(TstIndicesBusca)
#include "tst_indicesbusca.moc"
