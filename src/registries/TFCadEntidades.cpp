#include "registries/TFCadEntidades.h"
#include "core/MenuPrincipal.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/GradeConsulta.h"
#include "core/widgets/TPersonBtn.h"
#include "registries/Entidades.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vx {

VX_REGISTRA_TELA(CadastrodeEntidades1, [] { TFCadEntidades::Abre(); });
VX_REGISTRA_TELA(CadastrodaEntidade1, [] { TFCadEntidades::Abre(); });

namespace {
const QString kErroLeitura = QStringLiteral("Erro, verifique os dados digitados.");
using E = TPersonEdit;

// Bold underlined, as the municipality's name beside its code.
void destaca(QLabel* l)
{
    QFont f = l->font();
    f.setBold(true);
    f.setUnderline(true);
    l->setFont(f);
}
} // namespace

TFCadEntidades::TFCadEntidades(QWidget* parent)
    : TFCadastro("TFCadEntidades", QStringLiteral("Cadastro de Entidades"), QStringLiteral("ENTIDADES"),
                 QStringLiteral("ENTIDADE EXCLUÍDA EM "), parent)
{
    novoCampoCodigo(5, [this] { SBCodigoClick(); });
    // Field name, type, caption, max, options, column.
    struct Def {
        const char* nome;
        E::Tipo tipo;
        const char* rotulo;
        int max;
        unsigned opcoes;
        const char* coluna;
    };
    const auto cria = [this](std::initializer_list<Def> defs) {
        for (const Def& d : defs)
            liga(novoCampo(d.nome, d.tipo, QString::fromUtf8(d.rotulo), d.max, d.opcoes), QLatin1String(d.coluna));
    };
    cria({{"PERazaoSocial", E::peTexto, "Razão:", 100, Maiusculo | Requerido, "RAZAOSOCIAL"},
          {"PENomeFantasia", E::peTexto, "Fantasia:", 100, Maiusculo, "NOMEFANTASIA"},
          {"PEEndereco", E::peTexto, "Endereço:", 80, Maiusculo, "ENDERECO"}});
    m_razao = campo("PERazaoSocial");
    m_codMun = novoCampoReferencia("PECodMun", QStringLiteral("Município:"), 7, "LMunicipio",
                                   {QStringLiteral("IBGEMunic"), QStringLiteral("Codigo"), QStringLiteral("Cidade"), [] {
                                        return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Cidade"),
                                                              QStringLiteral("IBGEMunic"));
                                    }},
                                   Requerido);
    liga(m_codMun, QStringLiteral("CODMUN"));
    m_lMunicipio = findChild<QLabel*>(QStringLiteral("LMunicipio"));
    destaca(m_lMunicipio);
    cria({{"PECEP", E::peTexto, "CEP:", 9, 0, "CEP"},
          {"PEContato", E::peTexto, "Contato:", 100, MesmaLinha, "CONTATO"},
          {"PECNES", E::peTexto, "CNES:", 7, 0, "CNES"},
          {"PEFones", E::peTexto, "Fones:", 50, MesmaLinha, "FONES"},
          {"PEFax", E::peTexto, "Fax:", 25, MesmaLinha, "FAX"},
          {"PEEmail", E::peTexto, "Email:", 100, 0, "EMAIL"},
          {"PECodContabil", E::peTexto, "Cód. Contábil.:", 7, MesmaLinha, "CODCONTABIL"},
          {"PECNPJ", E::peCnpj, "CNPJ:", 0, 0, "CNPJ"},
          {"PECpf", E::peCpf, "CPF:", 0, MesmaLinha, "CPF"},
          {"PEIe", E::peTexto, "Inscr. Est.:", 15, MesmaLinha, "IE"},
          {"PEISSQN", E::peFloat, "ISSQN:", 0, 0, "ISSQN"},
          {"PEPIS", E::peFloat, "PIS:", 0, MesmaLinha, "PIS"},
          {"PECOFINS", E::peFloat, "Cofins:", 0, MesmaLinha, "COFINS"},
          {"PECSLL", E::peFloat, "CSLL:", 0, MesmaLinha, "CSLL"},
          {"PEBanco", E::peTexto, "Banco:", 10, 0, "BANCO"},
          {"PEAgencia", E::peTexto, "Ag.:", 10, MesmaLinha, "AGENCIA"}, // the column holds 10
          {"PEConta", E::peTexto, "Conta:", 20, MesmaLinha, "CONTA"},
          {"PEInfoBanc", E::peTexto, "Inf. Banc.:", 20, MesmaLinha, "INFOBANC"}});
    // Kept and written back, never shown.
    campo("PEInfoBanc")->setVisible(false);
    campo("PEInfoBanc")->editLabel()->setVisible(false);
    liga(novaMarca("CBIsentoIR", QStringLiteral("Isento I.R.")), QStringLiteral("ISENTOIR"));
    liga(novaMarca("CBSimplesNac", QStringLiteral("SN:"), MesmaLinha), QStringLiteral("SIMPLESNAC"));
    liga(novaMarca("CBOcultarMunic", QStringLiteral("Oculto p/ Munic.:"), MesmaLinha), QStringLiteral("OCULTARMUNIC"));
    cria({{"PEDataIniContrato", E::peData, "Início Contrato", 0, 0, "DATAINICONTRATO"},
          {"PEDataRenovContrato", E::peData, "Última Renovação:", 0, MesmaLinha, "DATARENOVCONTRATO"},
          {"PEDataVencContrato", E::peData, "Vencimento:", 0, MesmaLinha, "DATAVENCCONTRATO"},
          {"PEObs", E::peTexto, "Obs:", 500, 0, "OBS"}});

    // Professionals of the entity.
    QGroupBox* pProf = novoPainel("PainelProfissionais", QStringLiteral("Profissionais desta Entidade:"), true);
    auto* lProf = static_cast<QVBoxLayout*>(pProf->layout());
    m_gradeProf = new GradeConsulta(pProf);
    m_gradeProf->setObjectName(QStringLiteral("DBGrid1"));
    m_gradeProf->setMinimumSize(360, 140);
    m_gradeProf->defineTitulos({QStringLiteral("Código"), QStringLiteral("Nome")});
    lProf->insertWidget(0, m_gradeProf, 1);
    m_codProf = novoCampoReferencia("PECodProfissional", QStringLiteral("Codigo:"), 5, "LProfissional",
                                    {QStringLiteral("Profissionais"), QStringLiteral("codigo"), QStringLiteral("Nome"), [] {
                                         return Procura({QStringLiteral("codconcat"), QStringLiteral("Nome"),
                                                         QStringLiteral("OcupacaoEntidade")},
                                                        QStringLiteral("Nome"), QStringLiteral("v_Profissionais"));
                                     }});
    m_lProf = findChild<QLabel*>(QStringLiteral("LProfissional"));
    auto* bProf = new QHBoxLayout;
    lProf->addLayout(bProf);
    m_inserirProf = novoBotao("PBInserirProf", QStringLiteral("&Gravar"), false, [this] { PBInserirProfClick(); }, bProf);
    m_excluirProf = novoBotao("PBExcluirProf", QStringLiteral("&Excluir"), false, [this] { PBExcluirProfClick(); }, bProf);
    bProf->addStretch(1);
    m_cadProf = novoBotao("PBCadProfissionais", QStringLiteral("Cadastro de  Profissionais"), false,
                          [this] { PBCadProfissionaisClick(); }, bProf);

    // Procedures of the selected professional.
    QGroupBox* pProced = novoPainel("PainelProcedimentos", QStringLiteral("Procedimentos deste Profissional:"), true);
    auto* lProced = static_cast<QVBoxLayout*>(pProced->layout());
    m_gradeProced = new GradeConsulta(pProced);
    m_gradeProced->setObjectName(QStringLiteral("DBGrid2"));
    m_gradeProced->setMinimumSize(360, 140);
    m_gradeProced->defineTitulos({QStringLiteral("Código"), QStringLiteral("Nome"), QStringLiteral("Valor")});
    m_gradeProced->defineColunaElastica(1);
    lProced->insertWidget(0, m_gradeProced, 1);
    auto* informar = new QHBoxLayout;
    informar->addWidget(new QLabel(QStringLiteral("Informar:"), pProced));
    m_individual = new QRadioButton(QStringLiteral("Individual"), pProced);
    m_individual->setObjectName(QStringLiteral("RBIndividual"));
    m_individual->setChecked(true);
    m_grupo = new QRadioButton(QStringLiteral("Grupo"), pProced);
    m_grupo->setObjectName(QStringLiteral("RBGrupo"));
    informar->addWidget(m_individual);
    informar->addWidget(m_grupo);
    informar->addStretch(1);
    lProced->insertLayout(1, informar);
    m_codProced = novoCampoReferencia("PECodProced", QStringLiteral("Codigo:"), 5, "LProcedimento",
                                      {QString(), QString(), QString(), [this] { return buscaProcedimento(); },
                                       [this](const QString& c) { return nomeProcedimento(c); }});
    m_lProced = findChild<QLabel*>(QStringLiteral("LProcedimento"));
    auto* bProced = new QHBoxLayout;
    lProced->addLayout(bProced);
    m_inserirProced = novoBotao("PBInserirProced", QStringLiteral("&Gravar"), false, [this] { PBInserirProcedClick(); }, bProced);
    m_excluirProced = novoBotao("PBExcluirProced", QStringLiteral("&Excluir"), false, [this] { PBExcluirProcedClick(); }, bProced);
    bProced->addStretch(1);
    m_cadProced = novoBotao("PBCadProcedimentos", QStringLiteral("Cadastro de  Procedimentos"), false,
                            [this] { PBCadProcedimentosClick(); }, bProced);

    connect(m_gradeProf, &GradeConsulta::linhaAtual, this, &TFCadEntidades::profissionalDaGrade);
    connect(m_gradeProf, &GradeConsulta::cellClicked, this, &TFCadEntidades::profissionalDaGrade);
    const auto procedDaGrade = [this](int linha) {
        if (linha < 0)
            return;
        m_codProced->setText(m_gradeProced->valor(QStringLiteral("CODPROCEDIMENTO"), linha));
        m_lProced->setText(m_gradeProced->valor(QStringLiteral("NOME"), linha));
    };
    connect(m_gradeProced, &GradeConsulta::linhaAtual, this, procedDaGrade);
    connect(m_gradeProced, &GradeConsulta::cellClicked, this, procedDaGrade);
    connect(m_codProf, &TPersonEdit::saiu, this, &TFCadEntidades::PECodProfissionalExit);
    // The field's meaning changes with the choice: what it held no longer applies.
    connect(m_grupo, &QRadioButton::toggled, this, [this] {
        m_codProced->clear();
        m_lProced->clear();
    });
    concluiTela();

    // Role: the consortium edits; an entity installation sees its own entity; others only look.
    const QString usuario = SessaoAtual().UsuarioInstalacao;
    const QChar papel = usuario.isEmpty() ? QChar() : usuario.at(0);
    if (papel == QLatin1Char('E')) {
        PECodigo()->setText(usuario.mid(1, 7));
        PECodigoExit();
    }
    if (papel != QLatin1Char('C'))
        for (TPersonBtn* b : {PBtnGravar(), PBtnExcluir(), m_inserirProf, m_excluirProf, m_inserirProced, m_excluirProced})
            b->setEnabled(false);
}

TFCadEntidades::~TFCadEntidades() = default;

TFCadEntidades* TFCadEntidades::Abre()
{
    return MostraTela<TFCadEntidades>();
}

TPersonEdit* TFCadEntidades::campo(const char* nome) const
{
    return findChild<TPersonEdit*>(QLatin1String(nome));
}

void TFCadEntidades::limpaExtra()
{
    m_gradeProf->setRowCount(0);
    m_gradeProced->setRowCount(0);
}

void TFCadEntidades::aposCarregar(const LinhaCadastro&)
{
    carregaProfissionais();
}

void TFCadEntidades::carregaProfissionais(const QString& posicionarEm)
{
    const QString entidade = PECodigo()->text().trimmed();
    const QString anterior = posicionarEm.isEmpty() ? profissionalSelecionado() : posicionarEm;
    m_gradeProf->setRowCount(0);
    Transacao* tr = transacaoLeitura();
    if (tr && !CodigoVazio(entidade)) {
        try {
            m_gradeProf->carrega(*tr, SqlProfissionaisDaEntidade(entidade));
        } catch (const std::exception& e) {
            MostraExcecao(e, kErroLeitura);
        }
    }
    int linha = m_gradeProf->linhas() > 0 ? 0 : -1;
    for (int i = 0; i < m_gradeProf->linhas() && !anterior.isEmpty(); ++i)
        if (m_gradeProf->valor(QStringLiteral("CODPROFISSIONAL"), i) == anterior)
            linha = i;
    const QSignalBlocker b(m_gradeProf);
    m_gradeProf->setCurrentCell(linha, linha < 0 ? -1 : 0);
    carregaProcedimentos();
}

void TFCadEntidades::carregaProcedimentos()
{
    m_gradeProced->setRowCount(0);
    const QString entidade = PECodigo()->text().trimmed();
    const QString prof = profissionalSelecionado();
    Transacao* tr = transacaoLeitura();
    if (!tr || CodigoVazio(entidade) || prof.isEmpty())
        return;
    try {
        m_gradeProced->carrega(*tr, SqlProcedimentosDoProfissional(entidade, prof));
    } catch (const std::exception& e) {
        MostraExcecao(e, kErroLeitura);
    }
}

QString TFCadEntidades::profissionalSelecionado() const
{
    return m_gradeProf->valor(QStringLiteral("CODPROFISSIONAL"));
}

void TFCadEntidades::profissionalDaGrade(int linha)
{
    if (linha < 0)
        return;
    m_codProf->setText(m_gradeProf->valor(QStringLiteral("CODPROFISSIONAL"), linha));
    m_lProf->setText(m_gradeProf->valor(QStringLiteral("NOME"), linha));
    carregaProcedimentos();
}

void TFCadEntidades::PECodProfissionalExit()
{
    // The name is shown by the field's lookup; the grid follows the code when it lists it.
    const QString c = m_codProf->text().trimmed();
    int linha = -1;
    for (int i = 0; i < m_gradeProf->linhas() && !c.isEmpty(); ++i)
        if (m_gradeProf->valor(QStringLiteral("CODPROFISSIONAL"), i) == c)
            linha = i;
    if (linha < 0 && c.isEmpty())
        return;
    {
        const QSignalBlocker b(m_gradeProf);
        m_gradeProf->setCurrentCell(linha, linha < 0 ? -1 : 0);
    }
    carregaProcedimentos();
}

QString TFCadEntidades::buscaProcedimento() const
{
    if (m_grupo->isChecked())
        return ProcuraSimples(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("GruposProced"));
    return ProcuraSimplesFiltro(QStringLiteral("codigo"), QStringLiteral("Nome"), QStringLiteral("Procedimentos"),
                                QStringLiteral("DataExclusao is null"));
}

QString TFCadEntidades::nomeProcedimento(const QString& codigo) const
{
    return NomeLivre(codigo, QStringLiteral("codigo"), QStringLiteral("Nome"),
                     m_grupo->isChecked() ? QStringLiteral("GruposProced") : QStringLiteral("Procedimentos"));
}

void TFCadEntidades::SBCodigoClick()
{
    const QString c = ProcuraSimplesFiltro(QStringLiteral("codigo"), QStringLiteral("RazaoSocial"),
                                           QStringLiteral("Entidades"), QStringLiteral("DataExclusao is null"));
    if (c.isEmpty())
        return;
    PECodigo()->setText(c);
    PECodigoExit();
}

Entidade TFCadEntidades::dados() const
{
    const auto t = [this](const char* nome) { return campo(nome)->text(); };
    const auto m = [this](const char* nome) { return findChild<QCheckBox*>(QLatin1String(nome))->isChecked(); };
    Entidade e{PECodigo()->text(),       t("PERazaoSocial"),       t("PENomeFantasia"),     t("PEEndereco"),
               t("PECodMun"),            t("PECEP"),               t("PEContato"),          t("PEFones"),
               t("PEFax"),               t("PEEmail"),             t("PECNPJ"),             t("PECpf"),
               t("PEIe"),                t("PECNES"),              t("PEISSQN"),            t("PEPIS"),
               t("PECOFINS"),            t("PECSLL"),              t("PECodContabil"),      t("PEBanco"),
               t("PEInfoBanc"),          t("PEAgencia"),           t("PEConta"),            t("PEDataIniContrato"),
               t("PEDataRenovContrato"), t("PEDataVencContrato"), t("PEObs")};
    e.isentoIR = m("CBIsentoIR");
    e.simplesNac = m("CBSimplesNac");
    e.ocultarMunic = m("CBOcultarMunic");
    return e;
}

void TFCadEntidades::PBtnGravarClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    Entidade e = dados();
    if (!ExecutaAcao(PBtnGravar(), [&] { GravaEntidade(dm->IBTransaction, e); }))
        return;
    // The entity stays on the screen, active, ready for its professionals.
    PECodigo()->setText(e.codigo);
    PECodigoExit();
    m_codProf->setFocus();
}

void TFCadEntidades::PBtnExcluirClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString codigo = PECodigo()->text();
    if (!dm || CodigoVazio(codigo) || !confirmaExclusao())
        return;
    acaoRegistro(PBtnExcluir(), [&] { ExcluiEntidade(dm->IBTransaction, codigo, m_razao->text(), DataAtualDate()); });
}

void TFCadEntidades::aposAcaoLista(TPersonEdit* campo, const QString& posicionarEm)
{
    campo->clear();
    if (campo == m_codProf) {
        m_lProf->clear();
        carregaProfissionais(posicionarEm);
    } else {
        m_lProced->clear();
        carregaProcedimentos();
    }
    campo->setFocus();
}

void TFCadEntidades::PBInserirProfClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    const QString prof = m_codProf->text().trimmed();
    if (ExecutaAcao(m_inserirProf, [&] { IncluiProfissionalEntidade(dm->IBTransaction, PECodigo()->text(), prof); }))
        aposAcaoLista(m_codProf, prof);
}

void TFCadEntidades::PBExcluirProfClick()
{
    TDMCUNE* dm = DMCUNE();
    const QString prof = profissionalSelecionado();
    if (!dm || prof.isEmpty())
        return;
    if (ExecutaAcao(m_excluirProf, [&] {
            ExcluiProfissionalEntidade(dm->IBTransaction, PECodigo()->text(), prof, DataAtualDate());
        }))
        aposAcaoLista(m_codProf);
}

void TFCadEntidades::PBInserirProcedClick()
{
    TDMCUNE* dm = DMCUNE();
    if (!dm)
        return;
    if (ExecutaAcao(m_inserirProced, [&] {
            IncluiProcedimentoProfissional(dm->IBTransaction, PECodigo()->text(), profissionalSelecionado(),
                                           m_codProced->text(), m_grupo->isChecked());
        }))
        aposAcaoLista(m_codProced);
}

void TFCadEntidades::PBExcluirProcedClick()
{
    TDMCUNE* dm = DMCUNE();
    const bool grupo = m_grupo->isChecked();
    // One procedure: the selected row's; a group: the code typed.
    const QString codigo = grupo ? m_codProced->text().trimmed() : m_gradeProced->valor(QStringLiteral("CODPROCEDIMENTO"));
    const QString prof = profissionalSelecionado();
    if (!dm || CodigoVazio(codigo) || prof.isEmpty())
        return;
    if (ExecutaAcao(m_excluirProced, [&] {
            ExcluiProcedimentoProfissional(dm->IBTransaction, PECodigo()->text(), prof, codigo, grupo, DataAtualDate());
        }))
        aposAcaoLista(m_codProced);
}

void TFCadEntidades::PBCadProfissionaisClick()
{
    abreTelaVizinha(QStringLiteral("CadastrodeProfissionais1"));
}

void TFCadEntidades::PBCadProcedimentosClick()
{
    abreTelaVizinha(QStringLiteral("CadastrodeProcedimentos1"));
}

} // namespace vx
