// The patient registry screen driven offscreen on a real database.
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "municipality/TFCadPessoas.h"
#include "support/Fixtures.h"
#include "support/Galeria.h"
#include "support/RoteiroMensagens.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace vx;

namespace {
const char* const kCartao = "898001234567891"; // provisional card, valid

// Installation of a role with its database, data module and message recorder.
struct Ambiente {
    test::BancoTeste b;
    std::unique_ptr<TDMCUNE> dm;
    test::RoteiroMensagens msgs;

    explicit Ambiente(const QString& usuario, const QStringList& extra = {})
    {
        test::InstalaConfiguracao(b.pasta(), QStringList{QStringLiteral("USUARIO=") + usuario} + extra);
        CarregaIdentidade();
        SessaoAtual().UsuarioLogado = QStringLiteral("ana");
        b.executa("update or insert into ibgemunic (codigo, cidade, uf) values ('4314902', 'PORTO ALEGRE', 'RS') "
                  "matching (codigo)");
        b.executa("update or insert into tiposlogradouro (codigo, nome) values (1, 'RUA') matching (codigo)");
        dm = std::make_unique<TDMCUNE>();
        DefineDMCUNE(dm.get());
        if (!dm->ConectaBanco(b.arquivo()))
            qFatal("no database");
    }
    ~Ambiente()
    {
        delete TFCadPessoas::instancia();
        DefineDMCUNE(nullptr);
        dm.reset();
    }
    QString texto(const QString& sql) { return b.valor(sql).toString(); }
    int numero(const QString& sql) { return b.valor(sql).toInt(); }
};

TFCadPessoas* abreTela()
{
    TFCadPessoas* t = TFCadPessoas::Abre();
    t->setFechaAoPerderFoco(false);
    if (!QTest::qWaitForWindowActive(t))
        qWarning("window not active");
    return t;
}

// Leaves a field as the user does: Enter moves to the next one.
void sai(QWidget* campo)
{
    campo->setFocus();
    QTest::keyClick(campo, Qt::Key_Return);
}

// Types into a field and leaves it.
void digita(TPersonEdit* campo, const QString& texto)
{
    campo->setFocus();
    campo->setText(texto);
    QTest::keyClick(campo, Qt::Key_Return);
}

void preenche(TFCadPessoas* t, const QString& nome = QStringLiteral("MARIA DOS SANTOS"))
{
    // Leaving the code field reloads (clears) the screen: leave it before typing.
    t->PECartaoSUS()->setFocus();
    t->PECartaoSUS()->setText(QString::fromLatin1(kCartao));
    t->PENome()->setText(nome);
    t->PEDataNasc()->setText(QStringLiteral("15/03/1980"));
    t->PESexo()->setText(QStringLiteral("F"));
    t->CBRaca()->setCurrentIndex(2);
    t->PEResponsavel()->setText(QString());
    t->PENomeMae()->setText(QStringLiteral("JOANA DOS SANTOS"));
    t->PECodTipoLograd()->setText(QStringLiteral("1"));
    t->PEEndereco()->setText(QStringLiteral("DAS ACACIAS"));
    t->PEEndNum()->setText(QStringLiteral("45"));
    t->PEBairro()->setText(QStringLiteral("CENTRO"));
    t->PECep()->setText(QStringLiteral("90010000"));
    t->PEFones()->setText(QStringLiteral("51 3333-0000"));
    t->PEObs()->setText(QStringLiteral("Alergia a dipirona"));
    // The age rule runs on leaving the date.
    sai(t->PEDataNasc());
}

void gravaPaciente(Ambiente& a, const QString& origem, int codigo, const QString& nome, const QString& extra = {},
                   const QString& valores = {})
{
    a.b.executa(QStringLiteral("insert into pessoas (cli_origem, codigo, nome, cartaosus, datanasc, sexo, raca, nomemae, "
                               "codtipolograd, endereco, endnum, bairro, cep%1) values ('%2', %3, '%4', '700000000000005', "
                               "'1990-01-20', 'M', '01', 'MAE DE TESTE', 1, 'DOS PINHEIROS', 10, 'BOM FIM', '90035000'%5)")
                    .arg(extra, origem)
                    .arg(codigo)
                    .arg(nome, valores));
}
} // namespace

class TstCadPessoas : public QObject {
    Q_OBJECT
private slots:
    void abertura_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("codMun");
        QTest::addColumn<QString>("nomeMun");
        QTest::addColumn<bool>("requeridos");
        QTest::newRow("municipio") << "m4314902" << "4314902" << "PORTO ALEGRE" << true;
        QTest::newRow("consorcio") << "CCONSORCIO" << "0000000" << "" << false;
        QTest::newRow("entidade") << "E0000012" << "0000000" << "" << false;
    }
    void abertura()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, codMun);
        QFETCH(QString, nomeMun);
        QFETCH(bool, requeridos);
        Ambiente a(usuario, {QStringLiteral("CEP=96500000")});
        // The menu item and the toolbar button open the screen through the registry.
        QVERIFY(TemTela(QStringLiteral("CadastrodePessoas1")));
        TelaRegistrada(QStringLiteral("CadastrodePessoas1"))();
        TFCadPessoas* t = TFCadPessoas::instancia();
        QVERIFY(t);
        t->setFechaAoPerderFoco(false);
        QVERIFY(QTest::qWaitForWindowActive(t));
        QCOMPARE(t->windowTitle(), QStringLiteral("Cadastro de Pacientes"));
        QCOMPARE(t->LCodMun()->text(), codMun);
        QCOMPARE(t->LNomeMun()->text(), nomeMun);
        QCOMPARE(t->PBtnGravar()->verRequeridos(), requeridos);
        QVERIFY(!t->PBtnExcluir()->verRequeridos());
        QCOMPARE(t->CBRaca()->currentText(), QStringLiteral("99 - Sem Informação"));
        QCOMPARE(t->CBEtnia()->currentText(), QStringLiteral("999 - Sem Inform."));
        QCOMPARE(t->PECep()->text(), QStringLiteral("96500000"));
        QCOMPARE(t->PECodTipoLograd()->text(), QStringLiteral("0"));
        QCOMPARE(t->PEEndNum()->text(), QStringLiteral("0"));
        QVERIFY(t->PECodigo()->text().isEmpty());
        QCOMPARE(t->PECodigo()->toolTip(),
                 QStringLiteral("Deixe em branco para gerar um código automático quando clicar em Gravar"));
        if (usuario.startsWith('m'))
            test::SalvaTela(t, QStringLiteral("cadpessoas_vazia"));
        // An emptied postal code is proposed again on entering the field.
        t->PECep()->setText(QString());
        t->PECep()->setFocus();
        QCOMPARE(t->PECep()->text(), QStringLiteral("96500000"));
    }

    void insereNoMunicipio()
    {
        Ambiente a(QStringLiteral("M4314902"));
        gravaPaciente(a, "4314902", 5, "JA CADASTRADO");
        gravaPaciente(a, "4300000", 80, "DE OUTRO MUNICIPIO");
        TFCadPessoas* t = abreTela();
        preenche(t);
        t->PBtnGravar()->executa();
        QVERIFY2(a.msgs.quantidade() == 0, qPrintable(a.msgs.textos().join('|')));
        QCOMPARE(a.texto("select nome from pessoas where cli_origem='4314902' and codigo=6"), QStringLiteral("MARIA DOS SANTOS"));
        QCOMPARE(a.texto("select raca from pessoas where codigo=6"), QStringLiteral("03"));
        QCOMPARE(a.texto("select etnia from pessoas where codigo=6"), QStringLiteral("999"));
        QCOMPARE(a.numero("select endnum from pessoas where codigo=6"), 45);
        QCOMPARE(a.texto("select outrasinfo from logs where tabela='Pessoas' and situacao='I'"), QStringLiteral("6-MARIA DOS SANTOS"));
        QCOMPARE(t->ultimoCodigoGravado(), QStringLiteral("6"));
        // Cleared for the next patient, with the postal code remembered in the configuration file.
        QVERIFY(t->PENome()->text().isEmpty());
        QVERIFY(t->PECodigo()->text().isEmpty());
        QCOMPARE(t->PECep()->text(), QStringLiteral("90010000"));
        QVERIFY(t->PECodigo()->hasFocus());
        QVERIFY(t->PBtnGravar()->isEnabled());
        QFile f(a.b.pasta() + QStringLiteral("/vornex.conf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("CEP=90010000"));
    }

    // The configuration cannot be written: the patient is saved once, the clerk is told, and a
    // second click cannot insert the patient again.
    void cepNaoGravado()
    {
        Ambiente a(QStringLiteral("M4314902"));
        const QString conf = a.b.pasta() + QStringLiteral("/vornex.conf");
        QVERIFY(QFile::remove(conf));
        QVERIFY(QDir().mkdir(conf));
        TFCadPessoas* t = abreTela();
        preenche(t);
        t->PBtnGravar()->executa();
        QCOMPARE(a.numero("select count(*) from pessoas where nome='MARIA DOS SANTOS'"), 1);
        QCOMPARE(a.msgs.quantidade(), 1);
        QVERIFY2(a.msgs.ultima().texto.startsWith(QStringLiteral("Paciente gravado (código 1)")),
                 qPrintable(a.msgs.ultima().texto));
        QVERIFY(t->PENome()->text().isEmpty());
        QVERIFY(t->PECodigo()->text().isEmpty());
        QCOMPARE(t->ultimoCodigoGravado(), QStringLiteral("1"));
    }

    void insereNoConsorcio()
    {
        Ambiente a(QStringLiteral("CCONSORCIO"));
        gravaPaciente(a, "0000000", 12, "DOZE");
        gravaPaciente(a, "0000000", 95000, "LIMITE");
        TFCadPessoas* t = abreTela();
        preenche(t, QStringLiteral("PRIMEIRO DO CONSORCIO"));
        t->PBtnGravar()->executa();
        preenche(t, QStringLiteral("SEGUNDO DO CONSORCIO"));
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 0);
        QCOMPARE(a.texto("select nome from pessoas where cli_origem='0000000' and codigo=95001"),
                 QStringLiteral("PRIMEIRO DO CONSORCIO"));
        QCOMPARE(a.texto("select nome from pessoas where cli_origem='0000000' and codigo=95002"),
                 QStringLiteral("SEGUNDO DO CONSORCIO"));
    }

    // Without the required check (consortium) an empty patient is still saved with null date.
    void consorcioSemRequeridos()
    {
        Ambiente a(QStringLiteral("CCONSORCIO"));
        TFCadPessoas* t = abreTela();
        t->PENome()->setText(QStringLiteral("SO O NOME"));
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 0);
        QCOMPARE(a.numero("select count(*) from pessoas where codigo=95001 and datanasc is null"), 1);
    }

    void requeridosNoMunicipio()
    {
        Ambiente a(QStringLiteral("M4314902"));
        TFCadPessoas* t = abreTela();
        preenche(t);
        t->PENomeMae()->setText(QString());
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 1);
        QVERIFY(a.msgs.ultima().texto.contains(QStringLiteral("Nome Mãe")));
        QVERIFY(t->PENomeMae()->emErro());
        QCOMPARE(a.numero("select count(*) from pessoas"), 0);
        test::SalvaTela(t, QStringLiteral("cadpessoas_erro_validacao"));
    }

    void carregaEAltera()
    {
        Ambiente a(QStringLiteral("M4314902"));
        gravaPaciente(a, "4314902", 5, "JOAO PEREIRA");
        TFCadPessoas* t = abreTela();
        digita(t->PECodigo(), QStringLiteral("5"));
        QCOMPARE(t->PENome()->text(), QStringLiteral("JOAO PEREIRA"));
        QCOMPARE(t->PEDataNasc()->text(), QStringLiteral("20/01/1990"));
        QCOMPARE(t->CBRaca()->currentText(), QStringLiteral("01 - Branca"));
        QCOMPARE(t->LTipoLograd()->text(), QStringLiteral("RUA"));
        QVERIFY(t->LIdade()->text().endsWith(QStringLiteral("anos")));
        QVERIFY(!t->PEResponsavel()->isEnabled());
        QCOMPARE(t->PECep()->text(), QStringLiteral("90035000"));
        test::SalvaTela(t, QStringLiteral("cadpessoas_carregado"));
        t->PENome()->setText(QStringLiteral("JOAO PEREIRA NETO"));
        t->CBEtnia()->setCurrentIndex(1);
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 0);
        QCOMPARE(a.numero("select count(*) from pessoas"), 1);
        QCOMPARE(a.texto("select nome from pessoas where codigo=5"), QStringLiteral("JOAO PEREIRA NETO"));
        QCOMPARE(a.texto("select etnia from pessoas where codigo=5"), QStringLiteral("077"));
        QCOMPARE(a.numero("select count(*) from logs where situacao='U' and outrasinfo='5-JOAO PEREIRA NETO'"), 1);

        // A code that does not exist leaves the fields empty, without a message.
        digita(t->PECodigo(), QStringLiteral("77"));
        QVERIFY(t->PENome()->text().isEmpty());
        QCOMPARE(t->PECodigo()->text(), QStringLiteral("77"));
        QCOMPARE(a.msgs.quantidade(), 0);
        // A code that is not a number is reported and never reaches the database.
        digita(t->PECodigo(), QStringLiteral("5 or"));
        QCOMPARE(a.msgs.quantidade(), 1);
        QVERIFY(t->PENome()->text().isEmpty());
    }

    void etniaForaDaLista()
    {
        Ambiente a(QStringLiteral("M4314902"));
        gravaPaciente(a, "4314902", 9, "KAUA GUARANI", ", etnia", ", '100'");
        a.b.executa("update pessoas set raca='05' where codigo=9");
        TFCadPessoas* t = abreTela();
        digita(t->PECodigo(), QStringLiteral("9"));
        QCOMPARE(t->CBEtnia()->currentText(), QStringLiteral("999 - Sem Inform."));
        QCOMPARE(t->CBRaca()->currentText(), QStringLiteral("05 - Indígena"));
        // A municipality must now choose the ethnicity; the MODULOS card skips that check.
        digita(t->PECartaoSUS(), QStringLiteral("MODULOS"));
        QVERIFY(!t->PBtnGravar()->verRequeridos());
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 0);
        QCOMPARE(a.texto("select etnia from pessoas where codigo=9"), QStringLiteral("999"));
    }

    void indigenaSemEtnia()
    {
        Ambiente a(QStringLiteral("M4314902"));
        TFCadPessoas* t = abreTela();
        preenche(t);
        t->CBRaca()->setCurrentIndex(4);
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.textos(), QStringList{QStringLiteral("Para Raça Indígena é obrigatório informar o campo [ETNIA]")});
        QVERIFY(a.msgs.ultima().titulo.isEmpty());
        QVERIFY(t->CBEtnia()->hasFocus());
        QVERIFY(t->PBtnGravar()->isEnabled());
        QCOMPARE(a.numero("select count(*) from pessoas"), 0);
        t->CBEtnia()->setCurrentIndex(3);
        t->PBtnGravar()->executa();
        QCOMPARE(a.texto("select etnia from pessoas"), QStringLiteral("143"));
    }

    void idade_data()
    {
        QTest::addColumn<int>("anos");
        QTest::addColumn<bool>("responsavel");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("18") << 18 << false << "";
        QTest::newRow("17") << 17 << true << "";
        QTest::newRow("0") << 0 << true << "";
        QTest::newRow("121") << 121 << true << "Data Inválida (121 anos)";
    }
    void idade()
    {
        QFETCH(int, anos);
        QFETCH(bool, responsavel);
        QFETCH(QString, mensagem);
        Ambiente a(QStringLiteral("M4314902"));
        TFCadPessoas* t = abreTela();
        const QDate nasc = QDate::currentDate().addYears(-anos);
        digita(t->PEDataNasc(), nasc.toString(QStringLiteral("dd/MM/yyyy")));
        QCOMPARE(t->LIdade()->text(), QStringLiteral("%1 anos").arg(anos));
        QCOMPARE(a.msgs.textos().join('|'), mensagem);
        QCOMPARE(t->PEResponsavel()->isEnabled(), responsavel);
        QCOMPARE(t->PEResponsavel()->requerido(), responsavel);
        QCOMPARE(t->PEDataNasc()->hasFocus(), !mensagem.isEmpty());
        if (!mensagem.isEmpty()) {
            // Nor can it be saved.
            preenche(t);
            t->PEDataNasc()->setText(nasc.toString(QStringLiteral("dd/MM/yyyy")));
            a.msgs.limpa();
            t->PBtnGravar()->executa();
            QCOMPARE(a.msgs.textos(), QStringList{mensagem});
            QCOMPARE(a.numero("select count(*) from pessoas"), 0);
        } else if (responsavel) {
            // A minor needs the person responsible.
            preenche(t);
            t->PEDataNasc()->setText(nasc.toString(QStringLiteral("dd/MM/yyyy")));
            sai(t->PEDataNasc());
            t->PBtnGravar()->executa();
            QCOMPARE(a.msgs.quantidade(), 1);
            QVERIFY(a.msgs.ultima().texto.contains(QStringLiteral("Responsável")));
            QCOMPARE(a.numero("select count(*) from pessoas"), 0);
        }
    }

    void cartaoSus_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("cartao");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<bool>("requeridos");
        QTest::newRow("valido") << "E0000012" << kCartao << "" << true;
        QTest::newRow("14 digitos") << "M4314902" << "89800123456789" << "O número do Cartão SUS deve ter 15 dígitos!" << true;
        QTest::newRow("MODULOS") << "M4314902" << "MODULOS" << "" << false;
        QTest::newRow("consorcio nao verifica") << "CCONSORCIO" << "123" << "" << false;
        QTest::newRow("duplicado") << "M4314902" << "700000000000005"
                                   << "CartaoSUS já cadastrado para JOAO PEREIRA, de código 5" << true;
    }
    void cartaoSus()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, cartao);
        QFETCH(QString, mensagem);
        QFETCH(bool, requeridos);
        Ambiente a(usuario);
        gravaPaciente(a, "4300000", 5, "JOAO PEREIRA");
        TFCadPessoas* t = abreTela();
        digita(t->PECartaoSUS(), cartao);
        QCOMPARE(a.msgs.textos().join('|'), mensagem);
        QCOMPARE(t->PBtnGravar()->verRequeridos(), requeridos);
        const bool voltou = mensagem.startsWith(QStringLiteral("O número"));
        QCOMPARE(t->PECartaoSUS()->hasFocus(), voltou);
    }

    void duplicidadeDoNome_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("aviso");
        QTest::newRow("homonimo") << "JOAO PEREIRA" << "Nome já cadastrado para JOAO PEREIRA, de código 5";
        QTest::newRow("curto") << "ANA" << "";
    }
    void duplicidadeDoNome()
    {
        QFETCH(QString, nome);
        QFETCH(QString, aviso);
        Ambiente a(QStringLiteral("M4314902"));
        gravaPaciente(a, "4314902", 5, "JOAO PEREIRA");
        gravaPaciente(a, "4314902", 6, "ANA");
        TFCadPessoas* t = abreTela();
        preenche(t, QString());
        digita(t->PENome(), nome);
        QCOMPARE(a.msgs.textos().join('|'), aviso);
        QVERIFY(t->PENome()->hasFocus() == false);
        // Only a warning: the homonym is saved.
        a.msgs.limpa();
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 0);
        QCOMPARE(a.numero(QStringLiteral("select count(*) from pessoas where nome='%1'").arg(nome)), 2);
    }

    void exclusao_data()
    {
        QTest::addColumn<bool>("sim");
        QTest::addColumn<bool>("autorizado");
        QTest::addColumn<int>("restantes");
        QTest::newRow("confirmada") << true << false << 0;
        QTest::newRow("desistiu") << false << false << 1;
        QTest::newRow("com autorizacao") << true << true << 1;
    }
    void exclusao()
    {
        QFETCH(bool, sim);
        QFETCH(bool, autorizado);
        QFETCH(int, restantes);
        Ambiente a(QStringLiteral("M4314902"));
        gravaPaciente(a, "4314902", 5, "JOAO PEREIRA");
        if (autorizado)
            a.b.executa("insert into marcacao (cli_origem, id_marcacao, codpessoa, data_imp_adm) values ('4314902', 31, 5, 'M')");
        TFCadPessoas* t = abreTela();
        digita(t->PECodigo(), QStringLiteral("5"));
        if (sim)
            a.msgs.respondeSim();
        else
            a.msgs.respondeNao();
        t->PBtnExcluir()->executa();
        QVERIFY(a.msgs.quantidade() >= 1);
        QCOMPARE(test::Resumo(a.msgs.mensagens().first()), test::PerguntaExclusao());
        QCOMPARE(a.numero("select count(*) from pessoas"), restantes);
        QCOMPARE(a.numero("select count(*) from logs where situacao='D' and outrasinfo='5-JOAO PEREIRA'"), 1 - restantes);
        QVERIFY(t->PBtnExcluir()->isEnabled());
        if (autorizado) {
            QCOMPARE(a.msgs.quantidade(), 2);
            QVERIFY(a.msgs.ultima().texto.contains(QStringLiteral("1 autorização")));
        }
        // The screen is cleared only when the patient is gone.
        QCOMPARE(t->PENome()->text().isEmpty(), restantes == 0);
    }

    // A save the database refuses keeps what was typed and leaves the button usable.
    void falhaNoBanco_data()
    {
        QTest::addColumn<bool>("bloqueio");
        QTest::newRow("tipo de logradouro inexistente") << false;
        QTest::newRow("linha bloqueada por outra conexao") << true;
    }
    void falhaNoBanco()
    {
        QFETCH(bool, bloqueio);
        Ambiente a(QStringLiteral("CCONSORCIO"), {QStringLiteral("CEP=11111111")});
        gravaPaciente(a, "0000000", 95001, "JOAO PEREIRA");
        TFCadPessoas* t = abreTela();
        Conexao outra;
        outra.conecta(a.b.arquivo(), UsuarioBanco(), SenhaBanco());
        Transacao trOutra(outra);
        if (bloqueio) {
            digita(t->PECodigo(), QStringLiteral("95001"));
            trOutra.inicia();
            trOutra.executa("update pessoas set obs='em uso' where codigo=95001");
            t->PENome()->setText(QStringLiteral("JOAO PEREIRA FILHO"));
        } else {
            preenche(t, QStringLiteral("NOVA PESSOA"));
            t->PECodTipoLograd()->setText(QStringLiteral("999"));
        }
        const QString nome = t->PENome()->text();
        QWidget* foco = QApplication::focusWidget();
        QVERIFY(foco && foco != t->PECodigo());
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 1);
        QVERIFY(!a.msgs.ultima().texto.isEmpty());
        QCOMPARE(t->PENome()->text(), nome);
        QCOMPARE(t->PECodigo()->text(), bloqueio ? QStringLiteral("95001") : QString());
        QVERIFY(t->PBtnGravar()->isEnabled());
        // The failure came inside the transaction: the focus stays where it was.
        QCOMPARE(QApplication::focusWidget(), foco);
        QVERIFY(!a.dm->IBTransaction.ativa());
        QCOMPARE(a.numero("select count(*) from pessoas"), 1);
        QCOMPARE(a.texto("select nome from pessoas"), QStringLiteral("JOAO PEREIRA"));
        QCOMPARE(a.numero("select count(*) from logs"), 0);
        QCOMPARE(Ini().le("GERAL", "CEP"), QStringLiteral("11111111"));
        trOutra.rollback();
        // Once the other work ends the same save goes through.
        a.msgs.limpa();
        if (!bloqueio)
            t->PECodTipoLograd()->setText(QStringLiteral("1"));
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 0);
        QCOMPARE(a.numero(QStringLiteral("select count(*) from pessoas where nome='%1'").arg(nome)), 1);
    }

    // No transaction can be started: the code field gets the focus and nothing is written.
    void falhaAntesDaTransacao()
    {
        Ambiente a(QStringLiteral("M4314902"), {QStringLiteral("CEP=11111111")});
        TFCadPessoas* t = abreTela();
        preenche(t);
        t->PEObs()->setFocus();
        a.dm->IBDatabase.desconecta();
        t->PBtnGravar()->executa();
        QCOMPARE(a.msgs.quantidade(), 1);
        QCOMPARE(t->PENome()->text(), QStringLiteral("MARIA DOS SANTOS"));
        QVERIFY(t->PBtnGravar()->isEnabled());
        QVERIFY(t->PECodigo()->hasFocus());
        QCOMPARE(Ini().le("GERAL", "CEP"), QStringLiteral("11111111"));
        QCOMPARE(a.numero("select count(*) from pessoas"), 0);
    }

    void busca_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QStringList>("listados");
        QTest::addColumn<int>("escolhido");
        QTest::addColumn<QString>("origem");
        QTest::addColumn<QString>("cabecalho");
        QTest::newRow("municipio") << "M4314902" << QStringList{"JOAO PEREIRA"} << 0 << "4314902" << "PORTO ALEGRE";
        QTest::newRow("consorcio, proprio") << "CCONSORCIO"
                                            << QStringList{"JOAO DO CONSORCIO", "JOAO PEREIRA", "JOAO VIZINHO"} << 0
                                            << "0000000" << "";
        QTest::newRow("consorcio, de um municipio")
            << "CCONSORCIO" << QStringList{"JOAO DO CONSORCIO", "JOAO PEREIRA", "JOAO VIZINHO"} << 1 << "4314902"
            << "PORTO ALEGRE";
        QTest::newRow("consorcio, de outro municipio")
            << "CCONSORCIO" << QStringList{"JOAO DO CONSORCIO", "JOAO PEREIRA", "JOAO VIZINHO"} << 2 << "4300000"
            << "";
    }
    void busca()
    {
        QFETCH(QString, usuario);
        QFETCH(QStringList, listados);
        QFETCH(int, escolhido);
        QFETCH(QString, origem);
        QFETCH(QString, cabecalho);
        Ambiente a(usuario);
        // The same code in three clients: a municipality lists its own; the consortium lists all and
        // loads and saves the chosen row, never its own patient of the same code.
        gravaPaciente(a, "4314902", 5, "JOAO PEREIRA");
        gravaPaciente(a, "4300000", 5, "JOAO VIZINHO");
        gravaPaciente(a, "0000000", 5, "JOAO DO CONSORCIO");
        TFCadPessoas* t = abreTela();
        QStringList vistos;
        test::RoteiroModal modal([&](QDialog* dlg) {
            auto* f = qobject_cast<TFProcura*>(dlg);
            f->setIntervalo(0);
            QTest::keyClicks(f->Edit1, QStringLiteral("joao"));
            QTRY_VERIFY(!f->pendente());
            QTreeWidget* l = f->DBLookupListBox1;
            for (int i = 0; i < l->topLevelItemCount(); ++i)
                vistos << l->topLevelItem(i)->text(0);
            l->setFocus();
            l->setCurrentItem(l->topLevelItem(escolhido));
            QTest::keyClick(l, Qt::Key_Return);
        });
        t->PECodigo()->setFocus();
        QTest::keyClick(t->PECodigo(), Qt::Key_F2);
        QCOMPARE(modal.chamadas(), 1);
        QCOMPARE(vistos, listados);
        QCOMPARE(t->PECodigo()->text(), QStringLiteral("5"));
        QCOMPARE(t->PENome()->text(), listados.at(escolhido));
        QCOMPARE(t->clienteOrigem(), origem);
        QCOMPARE(t->LCodMun()->text(), origem);
        QCOMPARE(t->LNomeMun()->text(), cabecalho);

        t->PEFones()->setText(QStringLiteral("(51) 1234-5678"));
        t->PBtnGravar()->setVerRequeridos(false);
        t->PBtnGravarClick();
        QCOMPARE(a.texto("select list(cli_origem) from pessoas where fones='(51) 1234-5678'"), origem);
        QCOMPARE(a.numero("select count(*) from pessoas where codigo=5"), 3);
        // Cleared: back to the screen's own client.
        QCOMPARE(t->clienteOrigem(), usuario.startsWith('M') ? QStringLiteral("4314902") : QStringLiteral("0000000"));
        QCOMPARE(t->LCodMun()->text(), t->clienteOrigem());
        delete FProcura();
    }

    void aberturaModal()
    {
        Ambiente a(QStringLiteral("CCONSORCIO"));
        gravaPaciente(a, "4314902", 5, "JOAO PEREIRA");
        QString nomeVisto, codMun;
        bool modalAtiva = false;
        QTimer::singleShot(0, [&] {
            TFCadPessoas* t = TFCadPessoas::instancia();
            if (!t)
                return;
            nomeVisto = t->PENome()->text();
            codMun = t->LCodMun()->text();
            modalAtiva = t->isModal();
            t->PENome()->setText(QStringLiteral("JOAO PEREIRA DA SILVA"));
            t->PBtnGravar()->executa();
            t->close();
        });
        const QString codigo = TFCadPessoas::AbreModal(QStringLiteral("4314902"), QStringLiteral("5"));
        QCOMPARE(nomeVisto, QStringLiteral("JOAO PEREIRA"));
        QCOMPARE(codMun, QStringLiteral("4314902"));
        QVERIFY(modalAtiva);
        QCOMPARE(codigo, QStringLiteral("5"));
        QCOMPARE(a.texto("select nome from pessoas where cli_origem='4314902' and codigo=5"),
                 QStringLiteral("JOAO PEREIRA DA SILVA"));

        // Escape closes it without a patient saved.
        QTimer::singleShot(0, [&] {
            if (TFCadPessoas* t = TFCadPessoas::instancia())
                QTest::keyClick(t->PENome(), Qt::Key_Escape);
        });
        QCOMPARE(TFCadPessoas::AbreModal(QStringLiteral("4314902"), QString()), QString());
    }
};

QTEST_MAIN(TstCadPessoas)
#include "tst_cadpessoas.moc"
