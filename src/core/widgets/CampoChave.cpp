#include "core/widgets/CampoChave.h"
#include "core/widgets/TPersonBtn.h"
#include "core/widgets/TPersonEdit.h"

#include <QBoxLayout>
#include <QLabel>

namespace vx {

QLabel* NovoRotuloValor(const char* nome, QWidget* pai, int larguraMinima)
{
    auto* l = new QLabel(pai);
    l->setObjectName(QLatin1String(nome));
    l->setMinimumWidth(larguraMinima);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

void AmpliaFonte(QWidget* w, double fator)
{
    QFont f = w->font();
    f.setPointSizeF(f.pointSizeF() * fator);
    w->setFont(f);
}

CampoChave NovoCampoChave(QWidget* pai, QBoxLayout* raiz)
{
    CampoChave c;
    c.chave = new TPersonEdit(TPersonEdit::peTexto, QStringLiteral("Informe a Chave impressa na Autorização do Paciente:"), pai);
    c.chave->setObjectName(QStringLiteral("PEChave"));
    c.chave->setMaxLength(20);
    AmpliaFonte(c.chave, 1.2);
    c.chave->setFixedWidth(c.chave->fontMetrics().horizontalAdvance(QString(21, QLatin1Char('0'))) + 12);
    c.visualizar = new TPersonBtn(QStringLiteral("&Visualizar"), pai);
    c.visualizar->setObjectName(QStringLiteral("PBVisualizar"));
    c.visualizar->setVerRequeridos(false);
    c.visualizar->setFocusPolicy(Qt::NoFocus);
    raiz->addSpacing(6);
    raiz->addWidget(c.chave->editLabel());
    c.linha = new QHBoxLayout;
    c.linha->addWidget(c.chave);
    c.linha->addWidget(c.visualizar);
    raiz->addLayout(c.linha);
    return c;
}

} // namespace vx
