// The block-reason registry driven offscreen on a real database.
#include "core/MenuPrincipal.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/TFCadMotivoBloqueios.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QLabel>
#include <QtTest>

using namespace vx;

namespace {
TFCadMotivoBloqueios* abre()
{
    TelaRegistrada(QStringLiteral("MotivosdeBloqueio1"))();
    return test::AbreTelaTeste(InstanciaTela<TFCadMotivoBloqueios>());
}

struct Tela {
    test::AmbienteTela a;
    TFCadMotivoBloqueios* t = abre();
    ~Tela() { delete t; }
};
} // namespace

class TstMotivoBloqueios : public QObject {
    Q_OBJECT
private slots:
    // Descriptions round-trip unchanged: quotes (a literal built by pasting would break), accents,
    // the longest text the column holds.
    void gravaECarrega_data()
    {
        QTest::addColumn<QString>("descricao");
        QTest::newRow("apostrofo") << QStringLiteral("PACIENTE D'ÁVILA FALTOU");
        QTest::newRow("aspas") << QStringLiteral("'' FALTA \"SEM\" AVISO '");
        QTest::newRow("acentos") << QStringLiteral("ATENÇÃO: EXAME NÃO REALIZADO, MÉDICO AUSENTE");
        QTest::newRow("maximo") << QString(QStringLiteral("ÇÃÉ'") + QString(96, QLatin1Char('X')));
        QTest::newRow("sql") << QStringLiteral("X'); delete from motivobloqueios; --");
    }
    void gravaECarrega()
    {
        QFETCH(QString, descricao);
        Tela s;
        test::Digita(s.t->PECodigo(), QStringLiteral("7"));
        QCOMPARE(s.t->modo(), QStringLiteral("i"));
        s.t->PEDescricao()->setText(descricao);
        s.t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.a.texto("select descricao from motivobloqueios where codigo=7"), descricao);
        QCOMPARE(s.a.texto("select outrasinfo from logs where tabela='MotivoBloqueios' and situacao='I'"),
                 QStringLiteral("7-") + descricao.left(20));
        // The code stays, the description is cleared and the screen is back in insert mode.
        QCOMPARE(s.t->PECodigo()->text(), QStringLiteral("7"));
        QVERIFY(s.t->PEDescricao()->text().isEmpty());
        QVERIFY(s.t->PECodigo()->hasFocus());
        QCOMPARE(s.t->modo(), QStringLiteral("i"));
        // Loaded back exactly as typed; saving again updates it.
        test::Sai(s.t->PECodigo());
        QCOMPARE(s.t->modo(), QStringLiteral("u"));
        QCOMPARE(s.t->PEDescricao()->text(), descricao);
        const QString outra = descricao.chopped(1) + QStringLiteral("!");
        s.t->PEDescricao()->setText(outra);
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select descricao from motivobloqueios where codigo=7"), outra);
        QCOMPARE(s.a.numero("select count(*) from logs where tabela='MotivoBloqueios' and situacao='U'"), 1);
        if (QByteArray(QTest::currentDataTag()) == "acentos") {
            test::Sai(s.t->PECodigo());
            test::SalvaTela(s.t, QStringLiteral("cadmotivobloqueios_carregada"));
        }
    }

    // The registry generates no codes: an empty code is refused by the key and nothing is saved.
    void codigoVazioRecusado()
    {
        Tela s;
        test::SalvaTela(s.t, QStringLiteral("cadmotivobloqueios_vazia"));
        s.t->PEDescricao()->setText(QStringLiteral("SEM CODIGO"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(s.a.msgs.ultima().titulo, QStringLiteral("Erro"));
        QCOMPARE(s.a.numero("select count(*) from motivobloqueios"), 0);
        QCOMPARE(s.a.numero("select count(*) from logs"), 0);
        QVERIFY(s.t->PBtnGravar()->isEnabled());
        QCOMPARE(s.t->PEDescricao()->text(), QStringLiteral("SEM CODIGO"));
    }

    void descricaoRequerida()
    {
        Tela s;
        test::Digita(s.t->PECodigo(), QStringLiteral("3"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QVERIFY(s.t->PEDescricao()->hasFocus());
        QCOMPARE(s.a.numero("select count(*) from motivobloqueios"), 0);
    }

    void exclusao_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("sim");
        QTest::addColumn<int>("restantes");
        QTest::newRow("existente, sim") << "5" << true << 0;
        QTest::newRow("existente, nao") << "5" << false << 1;
        QTest::newRow("inexistente, sim") << "6" << true << 1;
    }
    void exclusao()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, sim);
        QFETCH(int, restantes);
        Tela s;
        s.a.b.executa("insert into motivobloqueios (codigo, descricao) values (5, 'FALTA DE DOCUMENTOS DO PACIENTE')");
        test::Digita(s.t->PECodigo(), codigo);
        sim ? s.a.msgs.respondeSim() : s.a.msgs.respondeNao();
        s.t->PBtnExcluir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao(QStringLiteral("Deseja realmente Excluir?\nClique em Sim para apagar.")));
        QCOMPARE(s.a.numero("select count(*) from motivobloqueios"), restantes);
        QCOMPARE(s.a.texto("select outrasinfo from logs where tabela='MotivoBloqueios' and situacao='E'"),
                 restantes ? QString() : QStringLiteral("5-FALTA DE DOCUMENTOS "));
    }
};

QTEST_MAIN(TstMotivoBloqueios)
#include "tst_motivobloqueios.moc"
