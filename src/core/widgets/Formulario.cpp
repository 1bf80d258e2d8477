#include "core/widgets/Formulario.h"
#include "core/Cadastro.h"
#include "core/UFunc.h"
#include "core/UVariaveis.h"
#include "core/widgets/TFBase.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace vx {

namespace {
// Width that shows `max` typical characters (capped so long fields do not stretch the form).
int larguraPara(const QWidget* w, int max)
{
    const QFontMetrics fm(w->font());
    const int n = max <= 0 ? 30 : qMin(max, 60);
    return qMax(fm.horizontalAdvance(QLatin1Char('0')) * 3, fm.averageCharWidth() * n + fm.horizontalAdvance(QLatin1Char('M')) + 12);
}
} // namespace

Formulario::Formulario(QWidget* dono) : m_dono(dono) {}

QFormLayout* Formulario::novoForm()
{
    fechaLinha();
    m_form = new QFormLayout;
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return m_form;
}

void Formulario::fechaLinha()
{
    if (m_linha)
        m_linha->addStretch(1);
    m_linha = nullptr;
}

QHBoxLayout* Formulario::novaLinha(QWidget* rotulo, bool mesmaLinha)
{
    if (mesmaLinha && m_linha) {
        if (rotulo) {
            m_linha->addSpacing(10);
            m_linha->addWidget(rotulo);
        }
        return m_linha;
    }
    fechaLinha();
    m_linha = new QHBoxLayout;
    m_linha->setSpacing(4);
    if (rotulo)
        m_form->addRow(rotulo, m_linha);
    else
        m_form->addRow(m_linha);
    return m_linha;
}

TPersonEdit* Formulario::campo(const char* nome, TPersonEdit::Tipo tipo, const QString& rotulo, int max, unsigned opcoes)
{
    auto* e = new TPersonEdit(tipo, rotulo, m_dono);
    e->setObjectName(QLatin1String(nome));
    if (max > 0)
        e->setMaxLength(max);
    if (opcoes & Maiusculo)
        e->setCaixa(TPersonEdit::caixaMaiuscula);
    e->setRequerido(opcoes & Requerido);
    if (opcoes & Avulso)
        e->setProperty("vxAvulso", true);
    else
        m_criados.append(e);
    QHBoxLayout* l = novaLinha(e->editLabel(), opcoes & MesmaLinha);
    const bool mascarado = tipo == TPersonEdit::peData || tipo == TPersonEdit::peDataHora ||
                           tipo == TPersonEdit::peCpf || tipo == TPersonEdit::peCnpj;
    const bool numero = tipo == TPersonEdit::peFloat || tipo == TPersonEdit::peInteiro;
    e->setFixedWidth(larguraPara(e, mascarado ? 18 : numero ? 12 : max));
    l->addWidget(e);
    return e;
}

Formulario::CampoCodigo Formulario::codigo(const char* nome, const QString& rotulo, int max, const char* nomeRotulo,
                                           std::function<QString()> busca,
                                           std::function<QString(const QString&)> nomeDe, unsigned opcoes)
{
    TPersonEdit* e = campo(nome, TPersonEdit::peTexto, rotulo, max, opcoes);
    QString nomeBotao = QLatin1String(nome);
    nomeBotao.replace(0, 2, QStringLiteral("SB"));
    QToolButton* sb = NovoBotaoBusca(nomeBotao, m_dono);
    auto* l = new QLabel(m_dono);
    l->setObjectName(QLatin1String(nomeRotulo));
    l->setMinimumWidth(220);
    m_linha->addWidget(sb);
    m_linha->addWidget(l, 1);
    auto* tela = qobject_cast<TFBase*>(m_dono);
    Q_ASSERT(tela);
    tela->LigaCodigo(e, sb, l, nomeDe);
    QObject::connect(sb, &QToolButton::clicked, tela, [tela, e, l, busca, nomeDe] {
        SuspendeFechamento s(tela);
        const QString c = busca ? busca() : QString();
        if (c.isEmpty())
            return;
        e->setText(c);
        try {
            l->setText(nomeDe(c));
        } catch (const std::exception& ex) {
            l->clear();
            MostraExcecao(ex, QStringLiteral("Erro, verifique os dados digitados."));
        }
    });
    return {e, sb, l};
}

QPair<TPersonEdit*, TPersonEdit*> Formulario::periodoDoMes(const char* nomeInicial, const char* nomeFinal, QDate hoje)
{
    if (!hoje.isValid())
        hoje = DataAtualDate().isValid() ? DataAtualDate() : QDate::currentDate();
    TPersonEdit* ini = campo(nomeInicial, TPersonEdit::peData, QStringLiteral("Período:"), 0, Requerido);
    TPersonEdit* fim = campo(nomeFinal, TPersonEdit::peData, QStringLiteral("a:"), 0, Requerido | MesmaLinha);
    ini->setText(TextoData(QDate(hoje.year(), hoje.month(), 1)));
    fim->setText(TextoData(hoje));
    return {ini, fim};
}

QCheckBox* Formulario::marca(const char* nome, const QString& texto, unsigned opcoes)
{
    auto* c = new QCheckBox(texto, m_dono);
    c->setObjectName(QLatin1String(nome));
    novaLinha(nullptr, opcoes & MesmaLinha)->addWidget(c);
    return c;
}

void Formulario::liga(TPersonEdit* campo, const QString& coluna)
{
    m_campos.append({campo, coluna});
}

void Formulario::liga(QCheckBox* marca, const QString& coluna, const QString& marcado)
{
    m_marcas.append({marca, coluna, marcado});
}

void Formulario::mostra(const LinhaCadastro& linha) const
{
    for (const LigacaoCampo& c : m_campos) {
        const Campo& v = linha[c.coluna];
        if (c.campo->tipo() == TPersonEdit::peFloat && !v.nulo)
            c.campo->setDecimal(v.decimal());
        else if (v.nulo && (c.campo->tipo() == TPersonEdit::peFloat || c.campo->tipo() == TPersonEdit::peInteiro))
            c.campo->clear();
        else
            c.campo->setText(v.texto());
    }
    for (const LigacaoMarca& m : m_marcas)
        m.marca->setChecked(linha.texto(m.coluna) == m.marcado);
}

void Formulario::limpa() const
{
    for (TPersonEdit* e : m_criados) {
        e->clear();
        e->limpaErro();
    }
    for (const LigacaoMarca& m : m_marcas)
        m.marca->setChecked(false);
}

} // namespace vx
