// The search dialog driven offscreen through the modal hook, on a real database.
#include "core/Banco.h"
#include "core/TFProcura.h"
#include "core/Texto1252.h"
#include "core/UDMCune.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"
#include "support/Parecidos.h"
#include "support/RoteiroMensagens.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {
QString primeiroNome(TFProcura* f)
{
    auto* l = f->DBLookupListBox1;
    return l->topLevelItemCount() ? l->topLevelItem(0)->text(0) : QString();
}
} // namespace

class TstTFProcura : public QObject {
    Q_OBJECT

    std::unique_ptr<test::BancoTeste> m_b;
    std::unique_ptr<TDMCUNE> m_dm;
    QHash<QString, QString> m_codigo; // name -> code
    std::unique_ptr<test::BancoTeste> m_parecidos;

private slots:
    void initTestCase()
    {
        m_b = std::make_unique<test::BancoTeste>();
        Transacao& tr = m_b->tr();
        tr.inicia();
        int codigo = 0;
        auto insere = [&](const QString& nome, const QString& cartao) {
            ++codigo;
            tr.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus) values "
                                      "('4314902', %1, ?, ?)").arg(codigo),
                       {nome, cartao});
            m_codigo.insert(nome, QString::number(codigo));
        };
        insere("JOSE DA SILVA", "700000000000001");
        insere("JOSE SILVA", "700000000000002");
        insere("ANA MARIA SOUZA", "898001234567890");
        insere("JOSÉ DA CONCEIÇÃO", "");
        const QStringList primeiros{"MARIA", "PEDRO", "CARLOS", "BEATRIZ", "LUCAS", "RAFAELA"};
        const QStringList ultimos{"SANTOS", "OLIVEIRA", "COSTA", "GOMES", "ALVES", "LOPES", "ROCHA", "DIAS", "NUNES"};
        for (const QString& p : primeiros)
            for (const QString& u : ultimos)
                for (const QString& u2 : ultimos)
                    insere(p + ' ' + u + ' ' + u2, QStringLiteral("7%1").arg(codigo, 14, 10, QLatin1Char('0')));
        tr.executa("insert into entidades (codigo, razaosocial, nomefantasia) values (3, 'CLINICA CENTRAL', 'CENTRAL')");
        tr.executa("insert into profissionais (codigo, nome) values (12, 'PAULO RAMOS')");
        tr.executa("insert into entidadesprofiss (codentidade, codprofissional) values (3, 12)");
        tr.commit();
        m_dm = std::make_unique<TDMCUNE>();
        DefineDMCUNE(m_dm.get());
        QVERIFY(m_dm->ConectaBanco(m_b->arquivo()));
    }

    void cleanupTestCase()
    {
        delete FProcura();
        m_parecidos.reset();
        DefineDMCUNE(nullptr);
        m_dm.reset();
        m_b.reset();
    }

    void aberturaEEscape_data()
    {
        QTest::addColumn<bool>("naLista");
        QTest::newRow("no texto") << false;
        QTest::newRow("na lista") << true;
    }
    void aberturaEEscape()
    {
        QFETCH(bool, naLista);
        int linhas = -1;
        QString texto = "x";
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            linhas = f->DBLookupListBox1->topLevelItemCount();
            texto = f->Edit1->text();
            QTest::keyClicks(f->Edit1, "ana");
            if (naLista) {
                QTest::keyClick(f->Edit1, Qt::Key_Down);
                QTest::keyClick(f->DBLookupListBox1, Qt::Key_Escape);
            } else {
                QTest::keyClick(f->Edit1, Qt::Key_Escape);
            }
        });
        const QString r = Procura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        QCOMPARE(modal.chamadas(), 1);
        QCOMPARE(linhas, 400);
        QVERIFY(texto.isEmpty());
        QVERIFY(r.isEmpty());
        QVERIFY(FProcura()->linhaEscolhida().isEmpty());
    }

    void digitaEEscolhe_data()
    {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("primeiro");
        QTest::newRow("qualquer palavra") << "RBQualquer" << "jose silva" << "JOSE DA SILVA";
        QTest::newRow("trecho") << "RBTrecho" << "jose silva" << "JOSE SILVA";
        QTest::newRow("inicio") << "RBInicio" << "ana" << "ANA MARIA SOUZA";
        QTest::newRow("cartao sus") << "RBTrecho" << "8001234" << "ANA MARIA SOUZA";
        // Typed without accents, found with them.
        QTest::newRow("sem acentos") << "RBTrecho" << "conceic" << "JOSÉ DA CONCEIÇÃO";
        QTest::newRow("palavras sem acentos") << "RBQualquer" << "jose conceicao" << "JOSÉ DA CONCEIÇÃO";
    }
    void digitaEEscolhe()
    {
        QFETCH(QString, modo);
        QFETCH(QString, texto);
        QFETCH(QString, primeiro);
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            f->findChild<QRadioButton*>(modo)->click();
            QTest::keyClicks(f->Edit1, texto);
            QTRY_COMPARE(primeiroNome(f), primeiro);
            QTest::keyClick(f->Edit1, Qt::Key_Return); // to the list
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Return);
        });
        QCOMPARE(Procura({"CODIGO", "NOME", "CARTAOSUS"}, "NOME", "PESSOAS"), m_codigo.value(primeiro));
        // The whole chosen row stays available (name, card, code).
        QCOMPARE(FProcura()->linhaEscolhida().value(0), primeiro);
        QCOMPARE(FProcura()->linhaEscolhida().value(2), m_codigo.value(primeiro));
    }

    void pausaAntesDaConsulta()
    {
        int antes = -1, durante = -1, depois = -1;
        bool pendente = false;
        QString listaDurante;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            antes = f->consultas();
            QTest::keyClicks(f->Edit1, "BEATRIZ NUNES");
            // Typing is not held up: nothing ran yet and the list still shows the opening rows.
            durante = f->consultas();
            pendente = f->pendente();
            listaDurante = primeiroNome(f);
            QSignalSpy spy(f, &TFProcura::listaAtualizada);
            QVERIFY(spy.wait(5000));
            depois = f->consultas();
            QCOMPARE(spy.first().first().toString(), QString("%BEATRIZ NUNES%"));
            QCOMPARE(primeiroNome(f), QString("BEATRIZ NUNES ALVES"));
        });
        Procura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        QCOMPARE(durante, antes);
        QVERIFY(pendente);
        QCOMPARE(listaDurante, QString("ANA MARIA SOUZA"));
        QCOMPARE(depois, antes + 1); // one query for the whole burst of keystrokes
    }

    void textoNovoInterrompeBusca()
    {
        QStringList listados;
        int interrompidas = -1;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            const int antes = f->interrompidas();
            QSignalSpy spy(f, &TFProcura::listaAtualizada);
            // A key typed while the search for "a" runs (it keeps processing events).
            auto c = connect(f, &TFProcura::buscaIniciada, f, [f](const QString& p) {
                if (p == "%A%")
                    QTimer::singleShot(0, f, [f] { QTest::keyClicks(f->Edit1, "n"); });
            });
            QTest::keyClicks(f->Edit1, "a");
            QTRY_VERIFY(!spy.isEmpty());
            disconnect(c);
            for (const auto& args : spy)
                listados << args.first().toString();
            interrompidas = f->interrompidas() - antes;
        });
        Procura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        // The search for "a" gave way; only the text as it stands was listed.
        QCOMPARE(listados, QStringList{"%AN%"});
        QCOMPARE(interrompidas, 1);
    }

    void enterAntesDaPausaAtualiza()
    {
        // Enter right after typing refreshes the list first, so the row chosen is one of the text.
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QTest::keyClicks(f->Edit1, "rafaela rocha");
            QTest::keyClick(f->Edit1, Qt::Key_Down);
            QCOMPARE(primeiroNome(f), QString("RAFAELA ROCHA ALVES"));
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Enter);
        });
        QCOMPARE(Procura({"CODIGO", "NOME"}, "NOME", "PESSOAS"), m_codigo.value("RAFAELA ROCHA ALVES"));
    }

    void duploClique()
    {
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QTest::keyClicks(f->Edit1, "gomes dias");
            QTRY_COMPARE(f->DBLookupListBox1->topLevelItemCount(), 6);
            auto* lista = f->DBLookupListBox1;
            const QRect r = lista->visualItemRect(lista->topLevelItem(1));
            QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(lista->viewport(), Qt::LeftButton, {}, r.center());
        });
        QCOMPARE(ProcuraSimples("CODIGO", "NOME", "PESSOAS"), m_codigo.value("CARLOS GOMES DIAS"));
    }

    void codconcatDevolveProfissional()
    {
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QTRY_COMPARE(f->DBLookupListBox1->topLevelItemCount(), 1);
            QTest::keyClick(f->Edit1, Qt::Key_Return);
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Return);
        });
        QCOMPARE(ProcuraFiltro({"codconcat", "NOME", "OCUPACAOENTIDADE"}, "NOME", "V_PROFISSIONAIS",
                               "DataExclusao is null"),
                 QString("12"));
    }

    void erroMostraTitulo_data()
    {
        QTest::addColumn<int>("chamada");
        QTest::addColumn<QString>("titulo");
        QTest::newRow("Procura") << 0 << "Erro, verifique os dados digitados";
        QTest::newRow("ProcuraFiltro") << 1 << "Erro, verifique os dados digitados.";
        QTest::newRow("ProcuraSimples") << 2 << "Erro, verifique os dados digitados.";
        QTest::newRow("ProcuraSimplesFiltro") << 3 << "Erro, verifique os dados digitados.";
    }
    void erroMostraTitulo()
    {
        QFETCH(int, chamada);
        QFETCH(QString, titulo);
        test::RoteiroMensagens msgs;
        test::RoteiroModal modal([](QDialog*) {});
        QString r = "x";
        switch (chamada) {
        case 0: r = Procura({"CODIGO", "NOMEX"}, "NOMEX", "PESSOAS"); break;
        case 1: r = ProcuraFiltro({"CODIGO", "NOME"}, "NOME", "PESSOAS", "SEMCOLUNA=1"); break;
        case 2: r = ProcuraSimples("CODIGO", "NOME", "NAOEXISTE"); break;
        default: r = ProcuraSimplesFiltro("CODIGO", "NOME", "PESSOAS", "SEMCOLUNA=1"); break;
        }
        QVERIFY(r.isEmpty());
        QCOMPARE(modal.chamadas(), 0);
        QCOMPARE(msgs.quantidade(), 1);
        QCOMPARE(msgs.ultima().titulo, titulo);
        QVERIFY(!msgs.ultima().texto.isEmpty());
        // The dialog is usable again after an error.
        test::RoteiroModal escolhe([](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QTest::keyClick(f->Edit1, Qt::Key_Return);
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Return);
        });
        QCOMPARE(Procura({"CODIGO", "NOME"}, "NOME", "PESSOAS"), m_codigo.value("ANA MARIA SOUZA"));
    }

    void erroAoDigitarFechaSemResultado()
    {
        test::RoteiroMensagens msgs;
        bool fechou = false;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QCOMPARE(f->DBLookupListBox1->topLevelItemCount(), 400);
            // A row committed meanwhile makes the filter divide by zero on the next query.
            m_b->executa("insert into pessoas (cli_origem, codigo, nome) values ('4314902', 9999, 'ZZ NOVO')");
            QTest::keyClicks(f->Edit1, "zz");
            QTRY_VERIFY(!dlg->isVisible());
            fechou = true;
        });
        const QString r = ProcuraFiltro({"CODIGO", "NOME"}, "NOME", "PESSOAS", "1/(CODIGO-9999) is not null");
        m_b->executa("delete from pessoas where codigo = 9999");
        QVERIFY(r.isEmpty());
        QVERIFY2(fechou, qPrintable(msgs.textos().join('|')));
        QCOMPARE(msgs.quantidade(), 1);
        QCOMPARE(msgs.ultima().titulo, QString("Erro, verifique os dados digitados."));
        QVERIFY(msgs.ultima().texto.contains("divide by zero"));
    }

    void aspasParecidas_data()
    {
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("modo");
        for (QChar c : test::ParecidosDeBusca())
            for (const char* m : {"RBTrecho", "RBInicio", "RBQualquer"})
                QTest::newRow(qPrintable(test::NomeCodigo(c) + ' ' + m)) << QString(c) << QString(m);
    }
    // Pasted texts with a look-alike list exactly the rows the statement gives with the pattern as
    // a parameter; no error box.
    void aspasParecidas()
    {
        QFETCH(QString, c);
        QFETCH(QString, modo);
        if (!m_parecidos) {
            m_parecidos = std::make_unique<test::BancoTeste>();
            m_parecidos->tr().inicia();
            test::InsereParecidos(m_parecidos->tr());
            m_parecidos->tr().commit();
        }
        const DefinicaoBusca d = MontaProcura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        const auto esperado = [&](const QString& padrao) {
            QString sql = d.sql();
            const int n = int(sql.count(":pdes"));
            sql.replace(":pdes", "cast(? as varchar(200))"); // a parameter takes the column's length otherwise
            Transacao tr(m_parecidos->conexao());
            tr.inicia();
            Consulta q(tr);
            QStringList r;
            for (q.abre(sql, QVariantList(n, ajustaPara1252(padrao))); !q.eof(); q.proximo())
                r << q.campo(0).texto();
            q.fecha();
            tr.commit();
            return r;
        };
        test::RoteiroMensagens msgs;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            f->findChild<QRadioButton*>(modo)->click();
            for (const QString& t : test::TextosComParecido(c)) {
                QSignalSpy spy(f, &TFProcura::listaAtualizada);
                f->Edit1->setText(t);
                QVERIFY2(spy.wait(5000), qPrintable(t));
                const QString padrao = PadraoBusca(f->modo(), t);
                QCOMPARE(spy.last().first().toString(), padrao);
                QStringList chaves;
                for (int i = 0; i < f->DBLookupListBox1->topLevelItemCount(); ++i)
                    chaves << f->DBLookupListBox1->topLevelItem(i)->data(0, Qt::UserRole).toString();
                QCOMPARE(chaves, esperado(padrao));
            }
            QTest::keyClick(f->Edit1, Qt::Key_Escape);
        });
        const int intervalo = FProcura()->intervalo();
        FProcura()->setIntervalo(0);
        FProcura()->setConexao(&m_parecidos->conexao());
        const QString r = Procura({"CODIGO", "NOME"}, "NOME", "PESSOAS");
        FProcura()->setConexao(nullptr);
        FProcura()->setIntervalo(intervalo);
        QCOMPARE(modal.chamadas(), 1);
        QVERIFY(r.isEmpty());
        QVERIFY2(msgs.quantidade() == 0, qPrintable(msgs.textos().join('|')));
    }

    void galeria()
    {
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            f->RBQualquer->click();
            QTest::keyClicks(f->Edit1, "maria santos");
            QTRY_VERIFY(f->DBLookupListBox1->topLevelItemCount() > 5);
            QTest::keyClick(f->Edit1, Qt::Key_Down);
            f->DBLookupListBox1->setCurrentItem(f->DBLookupListBox1->topLevelItem(2));
            QVERIFY(!test::SalvaTela(f, "TFProcura").isEmpty());
            // Typed without accents.
            f->RBTrecho->click();
            f->Edit1->clear();
            QTest::keyClicks(f->Edit1, "conceic");
            QTRY_COMPARE(f->DBLookupListBox1->topLevelItemCount(), 1);
            QVERIFY(!test::SalvaTela(f, "TFProcura-sem-acentos").isEmpty());
        });
        Procura({"CODIGO", "NOME", "CARTAOSUS"}, "NOME", "PESSOAS");
    }
};

QTEST_MAIN(TstTFProcura)
#include "tst_tfprocura.moc"
