#include "reports/TFFilRelAutorizacoes.h"
#include "billing/Demonstrativos.h"
#include "billing/TFFaturamento.h"
#include "core/Utilitarios.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/PresetsRelatorios.h"
#include "core/TFProcura.h"
#include "core/UDMCune.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"
#include "reports/TFFiltroPeriodo.h"
#include "reports/TRAutorizacoes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace vx {

namespace {

// Every preset's menu item opens the screen with its preset.
const bool registrados = [] {
    for (const PresetRelatorio& p : PresetsRelatorioAutorizacoes()) {
        const QString menu = p.menu;
        RegistraTela(menu, [menu] {
            if (const PresetRelatorio* pr = PresetRelatorioDoMenu(menu))
                TFFilRelAutorizacoes::Abre(*pr);
        });
    }
    RegistraTela(QLatin1String(telas::FaturamentoRelatorio), [] {
        const TFFaturamento* f = InstanciaTela<TFFaturamento>();
        if (!f)
            return;
        TFFilRelAutorizacoes::AbreFaturamento(f->PEData1()->data(), f->PEData2()->data(), f->codigoSelecionado(),
                                              f->modo() == ModoFaturamento::Municipio);
    });
    return true;
}();

const QStringList kOrdemRealizados{QStringLiteral("Id. Marcação"), QStringLiteral("Data da Realização"),
                                   QStringLiteral("Nome do Paciente"), QStringLiteral("Data de Digitação")};

QComboBox* combo(QWidget* dono, const char* nome, const QStringList& itens)
{
    auto* c = new QComboBox(dono);
    c->setObjectName(QLatin1String(nome));
    c->addItems(itens);
    return c;
}

QString nome(const QString& codigo, const char* chave, const char* campoNome, const char* tabela)
{
    if (CodigoVazio(codigo))
        return {};
    return NomeLivre(codigo.trimmed(), QLatin1String(chave), QLatin1String(campoNome), QLatin1String(tabela)).trimmed();
}

} // namespace

TFFilRelAutorizacoes::TFFilRelAutorizacoes(QWidget* parent)
    : TFFiltroRelatorio("TFFilRelAutorizacoes", QStringLiteral("Relatório de Procedimentos Autorizados"), parent)
{
    Q_UNUSED(registrados);
    QFormLayout* form = m_form.novoForm();
    m_corpo->addLayout(form);
    PEData1 = m_form.campo("PEData1", TPersonEdit::peData, QStringLiteral("Período:"), 0, Formulario::Requerido);
    PEData2 = m_form.campo("PEData2", TPersonEdit::peData, QStringLiteral("a "), 0,
                           Formulario::Requerido | Formulario::MesmaLinha);
    CBTipoData = combo(this, "CBTipoData", {QStringLiteral("Data Digitação"), QStringLiteral("Data Realização")});
    m_form.linhaAtual()->addWidget(CBTipoData);
    m_form.fechaLinha();

    PEDataAgenda1 = m_form.campo("PEDataAgenda1", TPersonEdit::peData, QStringLiteral("Agendados para:"), 0);
    PEDataAgenda2 = m_form.campo("PEDataAgenda2", TPersonEdit::peData, QStringLiteral("a "), 0, Formulario::MesmaLinha);
    CBNaoAgendados = new QCheckBox(QStringLiteral("ou procedimentos não agendados."), this);
    CBNaoAgendados->setObjectName(QStringLiteral("CBNaoAgendados"));
    m_form.linhaAtual()->addWidget(CBNaoAgendados);
    QLayout* linhaAgenda = m_form.linhaAtual();
    m_form.fechaLinha();

    CBBloqueados = combo(this, "CBBloqueados",
                         {QStringLiteral("Procedimentos NÃO Bloqueados"), QStringLiteral("Procedimentos Bloqueados"),
                          QStringLiteral("Todos os Lançados")});
    LRelatorio = new QLabel(QStringLiteral("Ordenar por:"), this);
    LRelatorio->setObjectName(QStringLiteral("LRelatorio"));
    CBOrdem = combo(this, "CBOrdem", kOrdemRealizados);
    CBRegistroBPA = combo(this, "CBRegistroBPA",
                          {QStringLiteral("Consolidado"), QStringLiteral("Individualizado"), QStringLiteral("Todos")});
    CBValor = combo(this, "CBValor", {});
    auto* opcoes = m_form.novaLinha(nullptr, false);
    for (QWidget* w : std::initializer_list<QWidget*>{CBBloqueados, LRelatorio, CBOrdem, CBRegistroBPA, CBValor})
        opcoes->addWidget(w);
    m_form.fechaLinha();

    CBRelAgrupado = new QCheckBox(QStringLiteral("Agrupar"), this);
    CBRelAgrupado->setObjectName(QStringLiteral("CBRelAgrupado"));
    CBAgruparPor = combo(this, "CBAgruparPor", {QStringLiteral("Por Município"), QStringLiteral("Por Entidade")});
    CBMaisFiltros = new QCheckBox(QStringLiteral("Mais Filtros"), this);
    CBMaisFiltros->setObjectName(QStringLiteral("CBMaisFiltros"));
    auto* agrupa = m_form.novaLinha(nullptr, false);
    agrupa->addWidget(CBRelAgrupado);
    agrupa->addWidget(CBAgruparPor);
    agrupa->addSpacing(24);
    agrupa->addWidget(CBMaisFiltros);
    m_form.fechaLinha();

    // Further filters, each code with its search and name.
    PMaisFiltros = new QWidget(this);
    PMaisFiltros->setObjectName(QStringLiteral("PMaisFiltros"));
    m_corpo->addWidget(PMaisFiltros);
    Formulario mais(this);
    auto* formMais = mais.novoForm();
    formMais->setContentsMargins(0, 0, 0, 0);
    PMaisFiltros->setLayout(formMais);
    auto codigo = [&](const char* campo, const QString& rotulo, int max, const char* rotuloNome,
                      std::function<QString()> busca, std::function<QString(const QString&)> nomeDe) {
        const auto c = mais.codigo(campo, rotulo, max, rotuloNome, std::move(busca), std::move(nomeDe));
        m_linhas.insert(c.campo, mais.linhaAtual());
        mais.fechaLinha();
        m_nomes.insert(c.campo, c.nome);
        m_buscas.insert(c.campo, c.busca);
        return c.campo;
    };
    PECodMun = codigo("PECodMun", QStringLiteral("Município:"), 7, "LNomeMun",
                      [] { return ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("Clientes")); },
                      [](const QString& c) { return nome(c, "CODIGO", "NOME", "CLIENTES"); });
    PECodUnidade = codigo("PECodUnidade", QStringLiteral("Unidade:"), 6, "LNomeUnidade",
                          [] { return ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("Unidades")); },
                          [](const QString& c) { return nome(c, "CODIGO", "NOME", "UNIDADES"); });
    PECodPessoa = codigo("PECodPessoa", QStringLiteral("Paciente:"), 9, "LNomePessoa",
                         [this] {
                             const QString mun = PECodMun->text().trimmed();
                             return CodigoVazio(mun) ? ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("Pessoas"))
                                                     : ProcuraSimplesFiltro(QStringLiteral("Codigo"), QStringLiteral("Nome"),
                                                                            QStringLiteral("Pessoas"),
                                                                            QStringLiteral("CLI_ORIGEM=") + SqlTexto(mun));
                         },
                         [](const QString& c) { return nome(c, "CODIGO", "NOME", "PESSOAS"); });
    PECodEntidade = codigo("PECodEntidade", QStringLiteral("Entidade:"), 6, "LNomeEntidade",
                           [] { return ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("RazaoSocial"), QStringLiteral("Entidades")); },
                           [](const QString& c) { return nome(c, "CODIGO", "RAZAOSOCIAL", "ENTIDADES"); });
    PECodProfissional = codigo("PECodProfissional", QStringLiteral("Profissional:"), 6, "LNomeProfissional",
                               [] { return ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("Profissionais")); },
                               [](const QString& c) { return nome(c, "CODIGO", "NOME", "PROFISSIONAIS"); });
    PECodGrupo = codigo("PECodGrupo", QStringLiteral("Grupo:"), 4, "LNomeGrupo",
                        [] { return ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("GruposProced")); },
                        [](const QString& c) { return nome(c, "CODIGO", "NOME", "GRUPOSPROCED"); });
    PECodProcedimento = codigo("PECodProcedimento", QStringLiteral("Procedimento:"), 8, "LNomeProcedimento",
                               [] { return ProcuraSimples(QStringLiteral("Codigo"), QStringLiteral("Nome"), QStringLiteral("Procedimentos")); },
                               [](const QString& c) { return nome(c, "CODIGO", "NOME", "PROCEDIMENTOS"); });

    LChamador = new QLabel(chamador::Municipio, this);
    LChamador->setObjectName(QStringLiteral("LChamador"));
    LChamador->hide();

    connect(CBMaisFiltros, &QCheckBox::toggled, PMaisFiltros, &QWidget::setVisible);
    connect(CBRelAgrupado, &QCheckBox::toggled, this, [this] { mostraOpcoes(); });
    connect(CBOrdem, &QComboBox::currentIndexChanged, this, [this] { mostraOpcoes(); });

    iniciaPorPapel();
    form->setRowVisible(linhaAgenda, EhMunicipio());
    CBTipoData->setVisible(EhPrestador());
    PMaisFiltros->hide();
}

void TFFilRelAutorizacoes::iniciaPorPapel()
{
    for (QLabel* l : std::as_const(m_nomes))
        l->clear();
    for (TPersonEdit* c : {PECodPessoa, PECodGrupo, PECodProcedimento})
        c->clear();
    const Calendario& cal = SessaoAtual().CalendarioAtual;
    QDate hoje = DataAtualDate().isValid() ? DataAtualDate() : QDate::currentDate();
    if (!cal.inicio.isEmpty() && !cal.fim.isEmpty()) {
        PEData1->setText(cal.inicio);
        PEData2->setText(cal.fim);
    } else {
        PEData1->setText(TextoData(QDate(hoje.year(), hoje.month(), 1)));
        PEData2->setText(TextoData(hoje));
    }
    PEDataAgenda1->setText(QStringLiteral("01/01/0001"));
    PEDataAgenda2->setText(QStringLiteral("31/12/9999"));
    TDMCUNE* dm = DMCUNE();
    const QChar papel = PapelInstalacao();
    m_agrupamentoFixo = papel != QLatin1Char('C');
    if (papel == QLatin1Char('M')) {
        CBAgruparPor->setCurrentIndex(1);
        defineCodigo(PECodMun, CodigoInstalacao());
        PECodMun->setEnabled(false);
        m_buscas.value(PECodMun)->setEnabled(false);
        PEDataAgenda1->setText(TextoData(QDate(hoje.year(), hoje.month(), 1)));
        PEDataAgenda2->setText(TextoData(QDate(hoje.year(), 12, 31)));
    } else if (papel == QLatin1Char('E') || papel == QLatin1Char('P')) {
        CBRelAgrupado->setChecked(false);
        CBAgruparPor->setCurrentIndex(0);
        QString entidade = CodigoInstalacao();
        if (papel == QLatin1Char('P') && dm)
            entidade = Lendo(dm->IBTLivre, [&] {
                Consulta q(dm->IBTLivre);
                q.abre(QStringLiteral("select first 1 CodEntidade from Entidadesprofiss where CodProfissional=")
                       + SqlInteiro(CodigoInstalacao()));
                return q.eof() ? QString() : q.campo(0).texto().trimmed();
            });
        defineCodigo(PECodEntidade, entidade);
        PECodEntidade->setEnabled(false);
        m_buscas.value(PECodEntidade)->setEnabled(false);
    }
    // The user's care unit fixes the unit filter.
    if (dm) {
        const QString unidade = Lendo(dm->IBTLivre, [&] {
            Consulta q(dm->IBTLivre);
            q.abre(QStringLiteral("select codunidade from usuarios where usuario=") + SqlTexto(SessaoAtual().UsuarioLogado));
            return q.eof() ? QString() : q.campo(0).texto().trimmed();
        });
        if (!unidade.isEmpty()) {
            defineCodigo(PECodUnidade, unidade);
            PECodUnidade->setEnabled(false);
            m_buscas.value(PECodUnidade)->setEnabled(false);
        }
    }
}

void TFFilRelAutorizacoes::defineCodigo(TPersonEdit* campo, const QString& codigo)
{
    campo->setText(codigo);
    QString n;
    try {
        if (campo == PECodMun)
            n = nome(codigo, "CODIGO", "NOME", "CLIENTES");
        else if (campo == PECodEntidade)
            n = nome(codigo, "CODIGO", "RAZAOSOCIAL", "ENTIDADES");
        else if (campo == PECodUnidade)
            n = nome(codigo, "CODIGO", "NOME", "UNIDADES");
    } catch (const std::exception&) {
    }
    m_nomes.value(campo)->setText(n);
}

void TFFilRelAutorizacoes::showEvent(QShowEvent* e)
{
    TFFiltroRelatorio::showEvent(e);
    CBMaisFiltros->setChecked(false);
    CBValor->clear();
    CBValor->addItems({QStringLiteral("Valor CONSORCIO"), QStringLiteral("Valor SUS")});
    CBValor->setCurrentIndex(0);
    mostraOpcoes();
}

void TFFilRelAutorizacoes::mostraOpcoes()
{
    CBValor->setVisible(m_totaliza);
    CBRegistroBPA->setVisible(CBOrdem->currentText() == QLatin1String("Procedimento"));
    CBRelAgrupado->setVisible(!m_ocultaAgrupamento);
    CBAgruparPor->setVisible(!m_ocultaAgrupamento && !m_agrupamentoFixo && CBRelAgrupado->isChecked());
    if (auto* form = qobject_cast<QFormLayout*>(PMaisFiltros->layout()))
        form->setRowVisible(m_linhas.value(PECodPessoa), !CBRelAgrupado->isChecked());
}

TFFilRelAutorizacoes* TFFilRelAutorizacoes::Abre(const PresetRelatorio& p)
{
    TFFilRelAutorizacoes* t = CriaTela<TFFilRelAutorizacoes>();
    t->m_totaliza = p.totaliza;
    if (!p.legendaOrdem.isEmpty())
        t->LRelatorio->setText(p.legendaOrdem);
    t->CBOrdem->blockSignals(true);
    t->CBOrdem->clear();
    t->CBOrdem->addItems(p.itens);
    t->CBOrdem->setCurrentIndex(p.selecionado);
    t->CBOrdem->blockSignals(false);
    t->LChamador->setText(p.chamador);
    t->m_ocultaAgrupamento = p.ocultaAgrupamento;
    MostraTela<TFFilRelAutorizacoes>();
    t->mostraOpcoes();
    t->PEData1->setFocus();
    return t;
}

TFFilRelAutorizacoes* TFFilRelAutorizacoes::AbreFaturamento(const QDate& inicio, const QDate& fim, const QString& codigo,
                                                            bool municipios)
{
    TFFilRelAutorizacoes* t = CriaTela<TFFilRelAutorizacoes>();
    t->m_totaliza = false;
    t->m_ocultaAgrupamento = false;
    t->LChamador->setText(chamador::AdministrativoF);
    t->PEData1->setText(TextoData(inicio));
    t->PEData2->setText(TextoData(fim));
    const QString perfil = SessaoAtual().PerfilConsorcio.trimmed().toUpper();
    if (municipios)
        t->defineCodigo(t->PECodMun, codigo);
    else
        t->defineCodigo(t->PECodEntidade, codigo);
    t->CBRelAgrupado->setChecked(perfil != QLatin1String("CULVAR"));
    t->CBAgruparPor->setCurrentIndex(municipios && perfil != QLatin1String("CULVAR") ? 1 : 0);
    MostraTela<TFFilRelAutorizacoes>();
    t->mostraOpcoes();
    t->PBtnImprimir->setFocus();
    return t;
}

CodigoFiltro TFFilRelAutorizacoes::codigoDe(TPersonEdit* campo) const
{
    return {campo->text().trimmed(), m_nomes.value(campo)->text()};
}

FiltroAutorizacoes TFFilRelAutorizacoes::filtro() const
{
    FiltroAutorizacoes f;
    f.chamador = LChamador->text();
    f.totaliza = m_totaliza;
    f.papel = PapelInstalacao();
    f.identidade = SessaoAtual().UsuarioInstalacao;
    f.perfil = SessaoAtual().PerfilConsorcio;
    f.data1 = PEData1->data();
    f.data2 = PEData2->data();
    f.dataRealizacao = CBTipoData->currentIndex() == 1;
    f.agendaVisivel = f.municipioPapel();
    f.agenda1 = PEDataAgenda1->data();
    f.agenda2 = PEDataAgenda2->data();
    f.naoAgendados = CBNaoAgendados->isChecked();
    f.bloqueio = Bloqueio(qBound(0, CBBloqueados->currentIndex(), 2));
    f.municipio = codigoDe(PECodMun);
    f.unidade = codigoDe(PECodUnidade);
    if (!CBRelAgrupado->isChecked())
        f.pessoa = codigoDe(PECodPessoa);
    f.entidade = codigoDe(PECodEntidade);
    f.profissional = codigoDe(PECodProfissional);
    f.grupo = codigoDe(PECodGrupo);
    f.procedimento = codigoDe(PECodProcedimento);
    f.ordem = qMax(0, CBOrdem->currentIndex());
    f.ordemTexto = CBOrdem->currentText();
    f.agrupado = !m_ocultaAgrupamento && CBRelAgrupado->isChecked();
    f.porEntidade = CBAgruparPor->currentIndex() == 1;
    f.valorSus = CBValor->currentText().contains(QLatin1String("SUS"));
    f.registroBpa = RegistroBpa(qBound(0, CBRegistroBPA->currentIndex(), 2));
    return f;
}

bool TFFilRelAutorizacoes::valida()
{
    if (!PeriodoRelatorioValido(PEData1, PEData2))
        return false;
    if (EhMunicipio())
        return PeriodoRelatorioValido(PEDataAgenda1, PEDataAgenda2);
    return true;
}

std::shared_ptr<rel::Documento> TFFilRelAutorizacoes::gera(Transacao& tr)
{
    FiltroAutorizacoes f = filtro();
    f.descricaoCalendario = DescricaoCalendario(tr, f.data1, f.data2);
    return GeraRelatorioAutorizacoes(tr, f);
}

QString TFFilRelAutorizacoes::tituloPreview() const { return TituloRelatorioAutorizacoes(filtro()); }

} // namespace vx
