// The procedures registry: its rules on a real database and the screen driven offscreen.
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "registries/Procedimentos.h"
#include "registries/TFCadProcedimentos.h"
#include "support/AmbienteTela.h"
#include "support/Galeria.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>
#include <QtTest>

using namespace vx;

namespace {
// Groups 1 and 2, a CBO, procedures 5 (group 1), 6 (group 2), 7 (no group) and 8 (group 1), the
// last two deleted; professionals' links to 5 and 6.
void semeia(test::AmbienteTela& a)
{
    a.b.executa("insert into gruposproced (codigo, nome, grupocobr) values (1, 'CONSULTAS', 'AMBULATORIAL')");
    a.b.executa("insert into gruposproced (codigo, nome, grupocobr) values (2, 'EXAMES DE IMAGEM', 'SADT')");
    a.b.executa("insert into cbo (codigo, descricao) values ('225125', 'MEDICO CLINICO')");
    for (const char* v : {"5, 'CONSULTA MEDICA EM ATENCAO ESPECIALIZADA', 1, 'S', '225125', 2, 10.05, 10, 15, 'I', "
                          "'0301010072', null",
                          "6, 'RAIO X DE TORAX', 2, 'N', '', 1, 19.99, 9.50, 0, 'C', '0204030153', null",
                          "7, 'ULTRASSONOGRAFIA', null, 'N', '', 1, 50, 24.20, 0, '', '', '2020-03-01'",
                          "8, 'CONSULTA DOMICILIAR', 1, 'N', '', 1, 0.05, 0, 0, '', '', '2021-05-02'"})
        a.b.executa(QStringLiteral("insert into procedimentos (codigo, nome, codgrupo, requerapac, cbo, quantmax, valor, "
                                   "valorsus, valorpopular, registro, codtabsus, dataexclusao) values (%1)")
                        .arg(QLatin1String(v)));
    for (const char* v : {"12, 3, 5", "15, 3, 5", "15, 4, 6"})
        a.b.executa(QStringLiteral("insert into profissproced (codentidade, codprofissional, codprocedimento) values (%1)")
                        .arg(QLatin1String(v)));
}

QString valores(test::AmbienteTela& a)
{
    return a.texto("select list(valor, ' ') from (select valor from procedimentos order by codigo)");
}

QString logs(test::AmbienteTela& a, const QString& tabela)
{
    return a.texto(QStringLiteral("select list(x, ' | ') from (select situacao || ' ' || outrasinfo x from logs "
                                  "where tabela='%1' order by datahora)").arg(tabela));
}

struct Tela {
    test::AmbienteTela a;
    TFCadProcedimentos* t;
    Tela()
    {
        semeia(a);
        TelaRegistrada(QStringLiteral("CadastrodeProcedimentos1"))();
        t = test::AbreTelaTeste(InstanciaTela<TFCadProcedimentos>());
        test::Sai(t->PECodigo()); // leaving the code clears the screen: done before typing
    }
    ~Tela() { delete t; }
};
} // namespace

class TstProcedimentos : public QObject {
    Q_OBJECT
private slots:
    // Exact cents, half away from zero; deleted procedures included; SUS and popular prices kept.
    void reajuste_data()
    {
        QTest::addColumn<QString>("indice");
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<QString>("log");
        QTest::newRow("+7,5") << "7,5" << "" << "10.80 21.49 53.75 0.05" << "Reajuste TODOS 7,5";
        QTest::newRow("+10") << "10" << "" << "11.06 21.99 55.00 0.06" << "Reajuste TODOS 10";
        QTest::newRow("-7,5") << "-7,5" << "" << "9.30 18.49 46.25 0.05" << "Reajuste TODOS -7,5";
        QTest::newRow("4 decimais") << "0,0001" << "" << "10.05 19.99 50.00 0.05" << "Reajuste TODOS 0,0001";
        QTest::newRow("milhar") << "1.000" << "" << "110.55 219.89 550.00 0.55" << "Reajuste TODOS 1.000";
        QTest::newRow("-100") << "-100" << "" << "0.00 0.00 0.00 0.00" << "Reajuste TODOS -100";
        QTest::newRow("grupo 1") << "10,00" << " 1 " << "11.06 19.99 50.00 0.06" << "Reajuste GRUPO 1 10,00";
    }
    void reajuste()
    {
        QFETCH(QString, indice);
        QFETCH(QString, grupo);
        QFETCH(QString, esperado);
        QFETCH(QString, log);
        test::AmbienteTela a;
        semeia(a);
        ReajustaValores(a.dm->IBTransaction, indice, grupo);
        QCOMPARE(valores(a), esperado);
        QCOMPARE(a.texto("select sum(valorsus) || '/' || sum(valorpopular) from procedimentos"), QStringLiteral("43.70/15.00"));
        QCOMPARE(logs(a, QStringLiteral("Procedimentos")), QStringLiteral("U ") + log);
    }

    // Refused before anything runs, or rolled back whole: prices and the log stay as they were.
    void reajusteRecusado_data()
    {
        QTest::addColumn<QString>("indice");
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("valor6");
        QTest::addColumn<QString>("erro");
        QTest::newRow("5 decimais") << "7,12345" << "" << "19.99" << "O índice de reajuste aceita no máximo 4 casas decimais.";
        QTest::newRow("texto") << "10%" << "" << "19.99" << "Índice de reajuste inválido: \"10%\".";
        QTest::newRow("duas virgulas") << "1,2,3" << "" << "19.99" << "Índice de reajuste inválido: \"1,2,3\".";
        QTest::newRow("grupo inexistente") << "10" << "9" << "19.99" << "Grupo 9 não cadastrado!";
        QTest::newRow("passa da coluna") << "10" << "" << "99999999.99"
                                         << "O valor reajustado do procedimento 6 (109.999.999,99) passa do limite de "
                                            "99.999.999,99. Nenhum valor foi alterado.";
        QTest::newRow("estouro no motor") << "10" << "" << "100000000000000" << "";
    }
    void reajusteRecusado()
    {
        QFETCH(QString, indice);
        QFETCH(QString, grupo);
        QFETCH(QString, valor6);
        QFETCH(QString, erro);
        test::AmbienteTela a;
        semeia(a);
        a.b.executa(QStringLiteral("update procedimentos set valor=%1 where codigo=6").arg(valor6));
        const QString antes = valores(a);
        QString visto;
        try {
            ReajustaValores(a.dm->IBTransaction, indice, grupo);
        } catch (const std::exception& e) {
            visto = TextoErro(e);
        }
        QVERIFY(!visto.isEmpty());
        if (!erro.isEmpty())
            QCOMPARE(visto, erro);
        QCOMPARE(valores(a), antes);
        QCOMPARE(a.numero("select count(*) from logs"), 0);
    }

    void avisoCodTabSus_data()
    {
        QTest::addColumn<QString>("codTabSus");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("aviso");
        const QString de6 = QStringLiteral("Código já informado para o procedimento: 000006-RAIO X DE TORAX");
        QTest::newRow("de outro") << "0204030153" << "5" << de6;
        QTest::newRow("sem codigo") << "0204030153" << "" << de6;
        QTest::newRow("o proprio") << "0204030153" << "6" << "";
        QTest::newRow("livre") << "0301010010" << "5" << "";
        QTest::newRow("vazio") << "" << "5" << "";
    }
    void avisoCodTabSus()
    {
        QFETCH(QString, codTabSus);
        QFETCH(QString, codigo);
        QFETCH(QString, aviso);
        test::AmbienteTela a;
        semeia(a);
        QCOMPARE(AvisoCodTabSus(a.dm->IBTLivre, codTabSus, codigo), aviso);
    }

    // Empty or "0" code: the database assigns it and the audit row carries it; a quantity below 1
    // is stored as 1; saving a deleted procedure reactivates it.
    void gravaRegra_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("quantMax");
        QTest::addColumn<QString>("gravado");
        QTest::addColumn<QString>("codTabSus");
        const QString sus = QStringLiteral("50%1");
        QTest::newRow("vazio") << "" << "0" << "I 9:1" << sus;
        QTest::newRow("zero") << "0" << "" << "I 9:1" << sus;
        QTest::newRow("digitado") << "40" << "3" << "I 40:3" << sus;
        QTest::newRow("existente") << "6" << "-2" << "U 6:1" << sus;
        QTest::newRow("excluido") << "7" << "2" << "U 7:2" << sus;
        // The table code takes the field's 100 characters.
        QTest::newRow("codigo SUS longo") << "41" << "1" << "I 41:1" << QString(QStringLiteral("CUNE-") + QString(95, QLatin1Char('9')));
    }
    void gravaRegra()
    {
        QFETCH(QString, codigo);
        QFETCH(QString, quantMax);
        QFETCH(QString, gravado);
        QFETCH(QString, codTabSus);
        test::AmbienteTela a;
        semeia(a);
        const QString nome = QStringLiteral("EXAME NOVO COM NOME DE QUARENTA LETRAS E MAIS");
        Procedimento p{codigo, nome, QString(), false, QString(), quantMax, QStringLiteral("1.234,5"), QString(),
                       QStringLiteral("7"), QStringLiteral("A"), codTabSus};
        GravaProcedimento(a.dm->IBTransaction, p);
        const QString c = gravado.mid(2).section(':', 0, 0);
        QCOMPARE(p.codigo, c);
        QCOMPARE(a.texto(QStringLiteral("select codigo || ':' || quantmax || coalesce(dataexclusao, '') || '/' || valor || '/' "
                                        "|| valorsus || '/' || valorpopular || '/' || coalesce(codgrupo, '-') || requerapac "
                                        "|| registro || codtabsus from procedimentos where codigo=%1").arg(c)),
                 gravado.mid(2) + QStringLiteral("/1234.50/0.00/7.00/-NA") + codTabSus);
        QCOMPARE(logs(a, QStringLiteral("Procedimentos")), gravado.left(2) + c + '-' + nome.left(40));
    }

    // ---- the screen ----

    void insereCarregaAltera()
    {
        Tela s;
        QCOMPARE(s.t->windowTitle(), QStringLiteral("Cadastro de Procedimentos"));
        QCOMPARE(s.t->PEQuantMax()->text() + ' ' + s.t->PEValor()->text(), QStringLiteral("0 0,00"));
        QVERIFY(!s.t->PainelGrupos()->isVisible() && !s.t->PainelReajuste()->isVisible());
        test::SalvaTela(s.t, QStringLiteral("cadprocedimentos_vazia"));
        // Nome is the one required field.
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.textos(), QStringList{QStringLiteral("O valor do campo \"Nome:\" não pode estar em Branco!")});
        QVERIFY(s.t->PENome()->hasFocus());
        s.a.msgs.limpa();

        s.t->PENome()->setText(QStringLiteral("eletrocardiograma"));
        s.t->PECodGrupo()->setText(QStringLiteral("2"));
        s.t->CBAPAC()->setChecked(true);
        s.t->PEValor()->setText(QStringLiteral("1.250,75"));
        // The SUS code of another procedure: warned, still saved.
        test::Digita(s.t->PECodTabSUS(), QStringLiteral("0204030153"));
        QCOMPARE(s.a.msgs.textos(), QStringList{QStringLiteral("Código já informado para o procedimento: 000006-RAIO X DE TORAX")});
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(s.a.texto("select nome || '/' || codgrupo || requerapac || quantmax || '/' || valor from procedimentos "
                           "where codigo=9"),
                 QStringLiteral("ELETROCARDIOGRAMA/2S1/1250.75"));
        QVERIFY(s.t->PENome()->text().isEmpty() && s.t->PECodigo()->hasFocus());

        test::Digita(s.t->PECodigo(), QStringLiteral("5"));
        QCOMPARE(s.t->PENome()->text(), QStringLiteral("CONSULTA MEDICA EM ATENCAO ESPECIALIZADA"));
        QCOMPARE(s.t->LGrupo()->text() + '/' + s.t->LCBO()->text(), QStringLiteral("CONSULTAS/MEDICO CLINICO"));
        QVERIFY(s.t->CBAPAC()->isChecked());
        QCOMPARE(QStringList({s.t->PEQuantMax()->text(), s.t->PEValor()->text(), s.t->PERegistro()->text()}).join(' '),
                 QStringLiteral("2 10,05 I"));
        s.t->CBGrupos()->setChecked(true);
        s.t->CBReajuste()->setChecked(true);
        test::SalvaTela(s.t, QStringLiteral("cadprocedimentos_carregada"));
        s.t->CBAPAC()->setChecked(false);
        s.t->PEQuantMax()->setText(QStringLiteral("0"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select requerapac || quantmax || '/' || valor from procedimentos where codigo=5"),
                 QStringLiteral("N1/10.05"));
        QCOMPARE(logs(s.a, QStringLiteral("Procedimentos")),
                 QStringLiteral("I 9-ELETROCARDIOGRAMA | U 5-CONSULTA MEDICA EM ATENCAO ESPECIALIZADA"));
        // An unknown code loads nothing, silently; loading hides the panels.
        s.t->CBGrupos()->setChecked(true);
        test::Digita(s.t->PECodigo(), QStringLiteral("77"));
        QVERIFY(s.t->PENome()->text().isEmpty());
        QVERIFY(!s.t->CBGrupos()->isChecked() && !s.t->PainelGrupos()->isVisible());
        QCOMPARE(s.a.msgs.quantidade(), 1);
    }

    void exclusao_data()
    {
        QTest::addColumn<bool>("sim");
        QTest::newRow("sim") << true;
        QTest::newRow("nao") << false;
    }
    void exclusao()
    {
        QFETCH(bool, sim);
        Tela s;
        test::Digita(s.t->PECodigo(), QStringLiteral("5"));
        sim ? s.a.msgs.respondeSim() : s.a.msgs.respondeNao();
        s.t->PBtnExcluir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        // The procedure and its professionals' links (not another procedure's) are closed.
        const QString d = sim ? DataAtualDate().toString(Qt::ISODate) : QStringLiteral("-");
        QCOMPARE(s.a.texto("select list(coalesce(dataexclusao, '-'), ' ') from (select dataexclusao from procedimentos "
                           "where codigo in (5, 6) order by codigo)"),
                 d + QStringLiteral(" -"));
        QCOMPARE(s.a.texto("select list(coalesce(dataexclusao, '-'), ' ') from (select dataexclusao from profissproced "
                           "order by codprocedimento, codentidade)"),
                 d + ' ' + d + QStringLiteral(" -"));
        QCOMPARE(logs(s.a, QStringLiteral("Procedimentos")), sim ? QStringLiteral("D 5-CONSULTA MEDICA EM A") : QString());
        if (!sim)
            return;
        // Hidden from the search, still loaded by code with the notice; saving reactivates it alone.
        QStringList vistos;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            for (int i = 0; i < f->DBLookupListBox1->topLevelItemCount(); ++i)
                vistos << f->DBLookupListBox1->topLevelItem(i)->text(1);
        });
        QTest::keyClick(s.t->PECodigo(), Qt::Key_F2);
        QCOMPARE(vistos, QStringList{QStringLiteral("RAIO X DE TORAX")});
        test::AbreTelaTeste(s.t);
        test::Digita(s.t->PECodigo(), QStringLiteral("5"));
        QCOMPARE(s.t->LAvisoExclusao()->text(), QStringLiteral("PROCEDIMENTO EXCLUÍDO EM ") + TextoData(DataAtualDate()));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select coalesce(dataexclusao, '-') from procedimentos where codigo=5"), QStringLiteral("-"));
        QCOMPARE(s.a.numero("select count(*) from profissproced where dataexclusao is not null"), 2);
        QVERIFY(s.t->LAvisoExclusao()->text().isEmpty());
    }

    void painelGrupos()
    {
        Tela s;
        s.t->CBGrupos()->setChecked(true);
        GradeConsulta* g = s.t->GradeGrupos();
        QCOMPARE(g->linhas(), 2);
        // Arrow keys and clicks copy the current row into the three fields.
        g->setFocus();
        g->setCurrentCell(0, 0);
        QTest::keyClick(g, Qt::Key_Down);
        const QString copiado =
            QStringList{s.t->PECadGrupoCodigo()->text(), s.t->PECadGrupoNome()->text(), s.t->PECadGrupoCobr()->text()}.join('/');
        QCOMPARE(copiado, QStringLiteral("2/EXAMES DE IMAGEM/SADT"));
        s.t->PECadGrupoNome()->setText(QStringLiteral("imagem"));
        s.t->PBCadGrupoInserir()->executa();
        QVERIFY(s.t->PECadGrupoNome()->text().isEmpty() && s.t->PECadGrupoCodigo()->hasFocus());
        s.t->PECadGrupoNome()->setText(QStringLiteral("terapias"));
        s.t->PBCadGrupoInserir()->executa();
        QCOMPARE(g->valor(QStringLiteral("NOME"), 2), QStringLiteral("TERAPIAS"));
        // A group its procedures still name is not deleted.
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(0, 1)).center());
        QCOMPARE(s.t->PECadGrupoCodigo()->text(), QStringLiteral("1"));
        s.t->PBCadGrupoExcluir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QVERIFY(s.a.msgs.ultima().texto.startsWith(QStringLiteral("O grupo 1 não pode ser excluído")));
        QCOMPARE(s.a.numero("select count(*) from gruposproced"), 3);
        s.a.msgs.limpa();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(2, 1)).center());
        QCOMPARE(s.t->PECadGrupoCodigo()->text(), QStringLiteral("3"));
        s.t->PBCadGrupoExcluir()->executa(); // no question
        QCOMPARE(s.a.msgs.quantidade(), 0);
        QCOMPARE(g->linhas(), 2);
        QCOMPARE(logs(s.a, QStringLiteral("GruposProced")), QStringLiteral("U 2-IMAGEM | I 3-TERAPIAS | D 3-TERAPIAS"));
        // The billing group field takes 60 characters, the column 30: refused, nothing saved.
        s.t->PECadGrupoNome()->setText(QStringLiteral("X"));
        s.t->PECadGrupoCobr()->setText(QString(31, QLatin1Char('B')));
        s.t->PBCadGrupoInserir()->executa();
        QCOMPARE(s.a.msgs.quantidade(), 1);
        QCOMPARE(s.a.numero("select count(*) from gruposproced"), 2);
        QVERIFY(s.t->PBCadGrupoInserir()->isEnabled());
        s.t->CBGrupos()->setChecked(false);
        QVERIFY(!s.t->PainelGrupos()->isVisible());
    }

    void reajusteTela_data()
    {
        QTest::addColumn<QString>("indice");
        QTest::addColumn<QString>("grupo");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("valores");
        QTest::newRow("todos") << "10" << "" << "Alteração Concluída!" << "11.06 21.99 55.00 0.06";
        QTest::newRow("grupo") << "10" << "2" << "Alteração Concluída!" << "10.05 21.99 50.00 0.05";
        QTest::newRow("recusado") << "7,12345" << "" << "O índice de reajuste aceita no máximo 4 casas decimais."
                                  << "10.05 19.99 50.00 0.05";
    }
    void reajusteTela()
    {
        QFETCH(QString, indice);
        QFETCH(QString, grupo);
        QFETCH(QString, mensagem);
        QFETCH(QString, valores);
        Tela s;
        s.t->CBReajuste()->setChecked(true);
        test::Digita(s.t->PEIndiceReajuste(), indice);
        test::Digita(s.t->PEGrupoReajuste(), grupo);
        s.t->PBAplicarReajuste()->executa();
        QCOMPARE(s.a.msgs.textos(), QStringList{mensagem});
        QCOMPARE(::valores(s.a), valores);
        QVERIFY(s.t->PBAplicarReajuste()->isEnabled());
        // Done: the screen is cleared (panel hidden); refused: left as it was.
        const bool ok = mensagem == QStringLiteral("Alteração Concluída!");
        QCOMPARE(s.t->PainelReajuste()->isVisible(), !ok);
        if (ok)
            QCOMPARE(logs(s.a, QStringLiteral("Procedimentos")),
                     QStringLiteral("U Reajuste ") + (grupo.isEmpty() ? QStringLiteral("TODOS ") : QStringLiteral("GRUPO 2 ")) +
                         QStringLiteral("10,00"));
    }
};

QTEST_MAIN(TstProcedimentos)
#include "tst_procedimentos.moc"
