// The agenda offscreen on a real database: bookings within the places of a day, full days, the
// patient chosen by name among homonyms, the callers offered, removal, the availability screen
// and the printed agenda.
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "municipality/Agenda.h"
#include "municipality/TFAgenda.h"
#include "municipality/TFAgendaDispo.h"
#include "municipality/TRAgendaProf.h"
#include "reports/UiPreview.h"
#include "support/AmbienteTela.h"
#include "support/DadosMarcacao.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {

const QString kPoa = test::kMunMarcacao;          // PORTO ALEGRE, patients 1..4 and 5 "ANA LIMA"
const QString kCaxias = QStringLiteral("4305108"); // CAXIAS DO SUL, patient 1 "ANA LIMA"

QDate dia(int n) { return QDate::currentDate().addDays(n); }
QString sqlDia(int n) { return QLatin1Char('\'') + dia(n).toString(Qt::ISODate) + QLatin1Char('\''); }

// A consortium of the CORVANE profile with the registry rows, professionals 20 (no occupation),
// 21 (community health agent) and 22, and a second municipality.
struct Base {
    test::AmbienteTela a{QStringLiteral("CUNE"), {QStringLiteral("CONSORCIO=corvane")}};
    Base()
    {
        test::PreparaMarcacao(a.b);
        a.b.executa("insert into clientes (codigo, nome) values ('4305108', 'CAXIAS DO SUL')");
        a.b.executa("insert into pessoas (cli_origem, codigo, nome, cartaosus) values ('4314902', 5, 'ANA LIMA', "
                    "'700000000000005')");
        a.b.executa("insert into pessoas (cli_origem, codigo, nome, cartaosus) values ('4305108', 1, 'ANA LIMA', "
                    "'700000000000001')");
        a.b.executa("insert into cbo (codigo, descricao) values ('324115', 'AGENTE COMUNITARIO DE SAUDE')");
        a.b.executa("insert into cbo (codigo, descricao) values ('225125', 'MEDICO CLINICO')");
        a.b.executa("update profissionais set cbo='324115' where codigo=21");
        a.b.executa("update profissionais set cbo='225125' where codigo=22");
        a.b.executa("insert into usuarios (usuario) values ('ana')");
    }
    void dispo(int prof, int n, const QString& quant, const QString& hora = QStringLiteral("08:00"))
    {
        a.b.executa(QStringLiteral("insert into ag_dispo (codprofissional, data, quantdispo, horainicio) values (%1, %2, %3, '%4')")
                        .arg(prof).arg(sqlDia(n), quant, hora));
    }
    void agenda(int id, int prof, int n, const QString& mun, int pessoa, const QString& quem = QStringLiteral("X"))
    {
        a.b.executa(QStringLiteral("insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa, quemligou) "
                                   "values (%1, %2, %3, '%4', %5, '%6')")
                        .arg(id).arg(prof).arg(sqlDia(n), mun).arg(pessoa).arg(quem));
    }
};

// The booking screen opened through its menu item.
struct Tela : Base {
    TFAgenda* t = nullptr;
    void abre()
    {
        TelaRegistrada(QStringLiteral("Agendamento2"))();
        t = test::AbreTelaTeste(InstanciaTela<TFAgenda>());
    }
    ~Tela()
    {
        delete InstanciaTela<TFAgendaDispo>();
        delete t;
        delete FProcura();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QStringList coluna(GradeConsulta* g, const QString& c)
    {
        QStringList r;
        for (int i = 0; i < g->linhas(); ++i)
            r << g->valor(c, i);
        return r;
    }
    void escolheProf(const QString& cod)
    {
        const int i = int(coluna(t->GradeProfissionais(), QStringLiteral("COD")).indexOf(cod));
        QVERIFY(i >= 0);
        t->GradeProfissionais()->setCurrentCell(i, 1);
        QCOMPARE(t->profissionalAtual(), cod);
    }
};

} // namespace

class TstAgenda : public QObject {
    Q_OBJECT

private slots:
    // Within the places: the panel takes the day's starting time, the booking gets the first id,
    // the audit row and the day's count; ids go on across professionals and municipalities.
    void agendamento()
    {
        Tela s;
        s.dispo(20, 1, QStringLiteral("3"), QStringLiteral("07:30"));
        s.dispo(22, 2, QStringLiteral("2"));
        s.abre();
        s.escolheProf(QStringLiteral("20"));
        QCOMPARE(s.t->LAgendaProf()->text(), QStringLiteral("Agenda do Profissional: DRA. LUCIA ALVES:"));
        QCOMPARE(s.t->GradeDias()->valor(QStringLiteral("DATA"), 0), TextoData(dia(1)));
        QCOMPARE(s.t->GradeDias()->valor(QStringLiteral("DIASEMANA"), 0), NomeDiaSemana(dia(1).dayOfWeek() % 7));
        QVERIFY(!s.t->PainelAgendamento()->isVisible());
        s.t->PBNovoAgendamento()->executa();
        QVERIFY(s.t->PainelAgendamento()->isVisible());
        QCOMPARE(s.t->PEHora()->text(), QStringLiteral("07:30"));
        test::Digita(s.t->PECodMunicipio(), kPoa);
        QCOMPARE(s.t->LMunicipio()->text(), QStringLiteral("PORTO ALEGRE"));
        test::Digita(s.t->PECodPessoa(), QStringLiteral("1"));
        QCOMPARE(s.t->LPessoa()->text(), QStringLiteral("MARIA DA SILVA"));
        s.t->CBQuemLigou()->setFocus();
        QTest::keyClicks(s.t->CBQuemLigou()->lineEdit(), QStringLiteral("joana"));
        s.t->PEObs()->setText(QStringLiteral("TRAZER EXAMES"));
        test::SalvaTela(s.t, QStringLiteral("tfagenda_novo"));
        s.t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QCOMPARE(s.a.texto("select id_agenda || '|' || cli_origem || '|' || codpessoa || '|' || quemligou || '|' || hora "
                           "|| '|' || obs from agenda"),
                 QStringLiteral("1|4314902|1|JOANA|07:30|TRAZER EXAMES"));
        QCOMPARE(s.a.b.valor("select datalanc from agenda").toDate(), DataAtualDate());
        QCOMPARE(s.a.texto("select outrasinfo from logs where tabela='Agenda' and situacao='I'"),
                 QStringLiteral("1=//=20=//=") + TextoData(dia(1)) + QStringLiteral("=//=4314902=//=1"));
        QVERIFY(!s.t->PainelAgendamento()->isVisible());
        QCOMPARE(s.t->GradeDias()->valor(QStringLiteral("AGENDADOS"), 0), QStringLiteral("1"));
        QCOMPARE(s.coluna(s.t->GradeAgendamentos(), QStringLiteral("NOMEPESSOA")), QStringList{"MARIA DA SILVA"});
        QCOMPARE(s.t->GradeAgendamentos()->valor(QStringLiteral("NOMECIDADE"), 0), QStringLiteral("PORTO ALEGRE"));

        // Another professional, another municipality: the next id.
        s.escolheProf(QStringLiteral("22"));
        s.t->PBNovoAgendamento()->executa();
        test::Digita(s.t->PECodMunicipio(), kCaxias);
        test::Digita(s.t->PECodPessoa(), QStringLiteral("1"));
        QCOMPARE(s.t->LPessoa()->text(), QStringLiteral("ANA LIMA"));
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select cli_origem || '|' || codpessoa from agenda where id_agenda=2"),
                 kCaxias + QStringLiteral("|1"));
        test::SalvaTela(s.t, QStringLiteral("tfagenda"));
    }

    // 3 places with 3 bookings: red and refused. No places, or only past days: not listed.
    void diaCheio()
    {
        Tela s;
        s.dispo(20, 1, QStringLiteral("3"));
        s.dispo(20, 2, QStringLiteral("0"));
        s.dispo(20, 3, QStringLiteral("null"));
        s.dispo(20, 4, QStringLiteral("2"));
        s.dispo(21, -1, QStringLiteral("5"));
        for (int i = 1; i <= 3; ++i)
            s.agenda(i, 20, 1, kPoa, i);
        s.agenda(4, 20, 4, kPoa, 1);
        s.abre();
        QCOMPARE(s.coluna(s.t->GradeProfissionais(), QStringLiteral("COD")), QStringList{"20"});
        QCOMPARE(s.coluna(s.t->GradeDias(), QStringLiteral("DATA")), (QStringList{TextoData(dia(1)), TextoData(dia(4))}));
        QCOMPARE(s.t->GradeDias()->item(0, 0)->foreground().color(), QColor(Qt::red));
        QVERIFY(s.t->GradeDias()->item(1, 0)->foreground().color() != QColor(Qt::red));
        QCOMPARE(s.t->GradeAgendamentos()->linhas(), 3);
        s.t->PBNovoAgendamento()->executa();
        QCOMPARE(test::Resumo(s.a.msgs.ultima()),
                 QStringLiteral("|Já foi atingido o máximo de agendamentos para este profissional neste dia!|0"));
        QCOMPARE(s.a.msgs.ultima().icone, IconeMsg::Erro);
        QVERIFY(!s.t->PainelAgendamento()->isVisible());
        // A day with a free place opens the panel.
        s.t->GradeDias()->setCurrentCell(1, 0);
        s.t->PBNovoAgendamento()->executa();
        QVERIFY(s.t->PainelAgendamento()->isVisible());
        QCOMPARE(s.a.msgs.quantidade(), 1);
    }

    // The search over all patients: the row chosen books that person, not the first homonym.
    void homonimoEscolhido_data()
    {
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("cidade");
        QTest::newRow("porto alegre") << kPoa << "5" << "PORTO ALEGRE";
        QTest::newRow("caxias") << kCaxias << "1" << "CAXIAS DO SUL";
    }
    void homonimoEscolhido()
    {
        QFETCH(QString, municipio);
        QFETCH(QString, codigo);
        QFETCH(QString, cidade);
        Tela s;
        s.dispo(20, 1, QStringLiteral("3"));
        s.agenda(1, 20, 1, kCaxias, 1, QStringLiteral("CAXIAS"));
        s.abre();
        s.t->PBNovoAgendamento()->executa();
        int linhas = -1;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QTest::keyClicks(f->Edit1, QStringLiteral("ana lima"));
            QTRY_COMPARE(f->DBLookupListBox1->topLevelItemCount(), 2);
            linhas = f->DBLookupListBox1->topLevelItemCount();
            for (int i = 0; i < linhas; ++i)
                if (f->DBLookupListBox1->topLevelItem(i)->text(3) == municipio)
                    f->DBLookupListBox1->setCurrentItem(f->DBLookupListBox1->topLevelItem(i));
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Return);
        });
        s.t->SBCodPessoa()->click();
        QCOMPARE(linhas, 2);
        QCOMPARE(s.t->PECodMunicipio()->text(), municipio);
        QCOMPARE(s.t->LMunicipio()->text(), cidade);
        QCOMPARE(s.t->PECodPessoa()->text(), codigo);
        QCOMPARE(s.t->LPessoa()->text(), QStringLiteral("ANA LIMA"));
        // The callers of the municipality came with it.
        QCOMPARE(s.t->CBQuemLigou()->count(), municipio == kCaxias ? 1 : 0);
        s.t->PBtnGravar()->executa();
        QCOMPARE(s.a.texto("select cli_origem || '|' || codpessoa from agenda where id_agenda=2"),
                 municipio + QLatin1Char('|') + codigo);
    }

    // Callers of that municipality only, from the last 90 days.
    void sugestoesQuemLigou()
    {
        Tela s;
        s.dispo(20, 1, QStringLiteral("9"));
        s.agenda(1, 20, -10, kPoa, 1, QStringLiteral("JOANA"));
        s.agenda(2, 20, -90, kPoa, 2, QStringLiteral("LIMITE"));
        s.agenda(3, 20, -91, kPoa, 3, QStringLiteral("ANTIGA"));
        s.agenda(4, 20, -5, kCaxias, 1, QStringLiteral("OUTRA CIDADE"));
        s.agenda(5, 20, -3, kPoa, 4, QStringLiteral("JOANA"));
        s.abre();
        s.t->PBNovoAgendamento()->executa();
        test::Digita(s.t->PECodMunicipio(), kPoa);
        QStringList itens;
        for (int i = 0; i < s.t->CBQuemLigou()->count(); ++i)
            itens << s.t->CBQuemLigou()->itemText(i);
        QCOMPARE(itens, (QStringList{"JOANA", "LIMITE"}));
        QCOMPARE(SugestoesQuemLigou(s.a.dm->IBTLivre, kCaxias), QStringList{"OUTRA CIDADE"});
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
        s.dispo(20, 1, QStringLiteral("3"));
        s.agenda(7, 20, 1, kPoa, 1);
        s.agenda(8, 20, 1, kPoa, 2);
        s.abre();
        QCOMPARE(s.t->GradeAgendamentos()->linhas(), 2);
        s.t->GradeAgendamentos()->setCurrentCell(1, 0);
        const QString id = s.t->GradeAgendamentos()->valor(QStringLiteral("ID_AGENDA"));
        sim ? s.a.msgs.respondeSim() : s.a.msgs.respondeNao();
        s.t->GradeAgendamentos()->setFocus();
        QTest::keyClick(s.t->GradeAgendamentos(), Qt::Key_Delete);
        QCOMPARE(test::Resumo(s.a.msgs.ultima()), test::PerguntaExclusao());
        QCOMPARE(s.a.numero("select count(*) from agenda where id_agenda=" + id), sim ? 0 : 1);
        QCOMPARE(s.t->GradeAgendamentos()->linhas(), sim ? 1 : 2);
        QCOMPARE(s.t->GradeDias()->valor(QStringLiteral("AGENDADOS"), 0), sim ? QStringLiteral("1") : QStringLiteral("2"));
        QCOMPARE(s.a.texto("select outrasinfo from logs where tabela='Agenda' and situacao='E'"),
                 sim ? id + QStringLiteral("=//=20=//=") + TextoData(dia(1)) : QString());
    }

    // "Config. Horários" opens the availability screen on the selected professional, unless the
    // user's permissions hide "Agenda" → "Configurações".
    void configHorarios_data()
    {
        QTest::addColumn<QString>("menuNegado");
        QTest::newRow("permitido") << "";
        QTest::newRow("item negado") << "   Configuraes1";
        QTest::newRow("menu negado") << "Agendamento1";
    }
    void configHorarios()
    {
        QFETCH(QString, menuNegado);
        Tela s;
        s.dispo(20, 1, QStringLiteral("3"));
        s.dispo(22, 1, QStringLiteral("2"));
        if (!menuNegado.isEmpty())
            s.a.b.executa(QStringLiteral("insert into menus (usuario, menu, pai, permissao) values ('ana', '%1', 'x', 'False')")
                              .arg(menuNegado));
        s.abre();
        s.escolheProf(QStringLiteral("22"));
        QString profissional, nome;
        QTimer::singleShot(0, s.t, [&] {
            if (auto* d = InstanciaTela<TFAgendaDispo>()) {
                profissional = d->PECodProfissional()->text();
                nome = d->LProfissional()->text();
                // Another day of the professional, saved there, is listed on return.
                d->PEData()->setText(TextoData(dia(5)));
                test::Sai(d->PEData());
                d->PEQuantDispo()->setText(QStringLiteral("4"));
                d->PBtnGravar()->executa();
                d->close();
            }
        });
        s.t->PBConfigHorarios()->executa();
        if (menuNegado.isEmpty()) {
            QCOMPARE(profissional, QStringLiteral("22"));
            QCOMPARE(nome, QStringLiteral("DR. ICARO LIMA"));
            QCOMPARE(s.a.msgs.quantidade(), 0);
            QCOMPARE(s.t->GradeDias()->linhas(), 2);
        } else {
            QVERIFY(profissional.isEmpty());
            QCOMPARE(test::Resumo(s.a.msgs.ultima()), QStringLiteral("|Usuário sem permissão para este recurso!|0"));
            QCOMPARE(s.a.msgs.ultima().icone, IconeMsg::Erro);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The availability screen: the search finds professionals without occupation and leaves out
    // community health agents; places 0 or empty are saved as null; the calendar and the date
    // follow each other and load the day.
    void disponibilidade_data()
    {
        QTest::addColumn<QString>("quant");
        QTest::addColumn<QVariant>("gravado");
        QTest::newRow("tres") << "3" << QVariant(3);
        QTest::newRow("zero") << "0" << QVariant();
        QTest::newRow("vazio") << "" << QVariant();
    }
    void disponibilidade()
    {
        QFETCH(QString, quant);
        QFETCH(QVariant, gravado);
        Base s;
        TelaRegistrada(QStringLiteral("Configuraes1"))();
        TFAgendaDispo* t = test::AbreTelaTeste(InstanciaTela<TFAgendaDispo>());
        const std::unique_ptr<TFAgendaDispo> dono(t);
        QCOMPARE(t->Calendario()->selectedDate(), DataAtualDate());
        QStringList nomes;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            QTRY_COMPARE(f->DBLookupListBox1->topLevelItemCount(), 2);
            for (int i = 0; i < f->DBLookupListBox1->topLevelItemCount(); ++i)
                nomes << f->DBLookupListBox1->topLevelItem(i)->text(0);
            f->DBLookupListBox1->setCurrentItem(f->DBLookupListBox1->topLevelItem(int(nomes.indexOf("DRA. LUCIA ALVES"))));
            QTest::keyClick(f->DBLookupListBox1, Qt::Key_Return);
        });
        t->SBCodProfissional()->click();
        QCOMPARE(nomes, (QStringList{"DR. ICARO LIMA", "DRA. LUCIA ALVES"}));
        QCOMPARE(t->PECodProfissional()->text(), QStringLiteral("20"));
        QCOMPARE(t->LProfissional()->text(), QStringLiteral("DRA. LUCIA ALVES"));
        t->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t));

        test::Digita(t->PEData(), TextoData(dia(5)));
        QCOMPARE(t->Calendario()->selectedDate(), dia(5));
        t->PEQuantDispo()->setText(quant);
        t->PEHoraInicio()->setText(QStringLiteral("07:30"));
        t->PEObs()->setText(QStringLiteral("SÓ À TARDE 'PLANTÃO'"));
        t->PBtnGravar()->executa();
        QVERIFY2(s.a.msgs.quantidade() == 0, qPrintable(s.a.msgs.textos().join('|')));
        QVERIFY(t->PEData()->hasFocus());
        const QString onde = QStringLiteral(" from ag_dispo where codprofissional=20 and data=") + sqlDia(5);
        QCOMPARE(s.a.b.valor("select quantdispo" + onde), gravado);
        QCOMPARE(s.a.texto("select horainicio || '|' || obs" + onde), QStringLiteral("07:30|SÓ À TARDE 'PLANTÃO'"));
        QCOMPARE(s.a.numero("select count(*) from logs"), 0);

        // Arrow keys on the calendar move a day and load it (empty), back again (loaded).
        t->Calendario()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(t->PEData()->text(), TextoData(dia(6)));
        QVERIFY(t->PEObs()->text().isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        QCOMPARE(t->PEData()->text(), TextoData(dia(5)));
        QCOMPARE(t->PEHoraInicio()->text(), QStringLiteral("07:30"));
        QCOMPARE(t->PEObs()->text(), QStringLiteral("SÓ À TARDE 'PLANTÃO'"));
        QCOMPARE(t->PEQuantDispo()->inteiro().value_or(0), gravado.toLongLong());

        // Saving the same day again updates it.
        t->PEQuantDispo()->setText(QStringLiteral("6"));
        t->PBtnGravar()->executa();
        QCOMPARE(s.a.numero("select count(*) from ag_dispo"), 1);
        QCOMPARE(s.a.numero("select quantdispo" + onde), 6);
        if (QByteArray(QTest::currentDataTag()) == "tres")
            test::SalvaTela(t, QStringLiteral("tfagendadispo"));
        delete FProcura();
    }

    // The printed agenda: header, the days from today on with their counts, the bookings by name.
    void agendaImpressa()
    {
        Tela s;
        s.dispo(20, -1, QStringLiteral("3"));
        s.dispo(20, 1, QStringLiteral("3"));
        s.dispo(20, 2, QStringLiteral("2"));
        s.agenda(1, 20, -1, kPoa, 2);
        s.agenda(2, 20, 1, kPoa, 1);
        s.agenda(3, 20, 1, kCaxias, 1);
        const auto doc = TRAgendaProf::Gera(s.a.dm->IBTLivre, 20);
        const QStringList t = doc->textos(0);
        for (const QString& esperado : {QStringLiteral("CORVANE"), QStringLiteral("Controle de Agendamento"),
                                        QStringLiteral("Profissional: 00020 - DRA. LUCIA ALVES"),
                                        QStringLiteral("Data: ") + TextoData(dia(1)), QStringLiteral("Máximo: 3"),
                                        QStringLiteral("Agendados: 2"), QStringLiteral("Data: ") + TextoData(dia(2)),
                                        QStringLiteral("Agendados: 0"), QStringLiteral("CAXIAS DO SUL"),
                                        QStringLiteral("700000000000001"), QStringLiteral("123456789010000")})
            QVERIFY2(t.contains(esperado), qPrintable(esperado + " | " + t.join('|')));
        rel::ImagemPagina(*doc, 0, 110).save(test::PastaTelas() + QStringLiteral("/tragendaprof.png"));
        QVERIFY(!t.contains(QStringLiteral("Data: ") + TextoData(dia(-1))));
        QVERIFY(!t.contains(QStringLiteral("JOAO PEREIRA")));
        QVERIFY(t.indexOf(QStringLiteral("ANA LIMA")) < t.indexOf(QStringLiteral("MARIA DA SILVA")));
        QVERIFY(t.indexOf(QStringLiteral("MARIA DA SILVA")) < t.indexOf(QStringLiteral("Data: ") + TextoData(dia(2))));

        // From the screen, as a preview.
        s.abre();
        QString titulo;
        test::RoteiroModal modal([&](QDialog* d) {
            if (auto* p = qobject_cast<rel::UiPreview*>(d)) {
                titulo = p->windowTitle();
                QVERIFY(p->documento().textos(0).contains(QStringLiteral("Agendados: 2")));
            }
            d->accept();
        });
        s.t->PBImprimir()->executa();
        QCOMPARE(modal.chamadas(), 1);
        QVERIFY(titulo.contains(QStringLiteral("Controle de Agendamento")));
    }
};

QTEST_MAIN(TstAgenda)
#include "tst_agenda.moc"
