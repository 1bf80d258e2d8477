#include "core/Mensagens.h"

#include <cstdio>

namespace vx {

namespace {
ManipuladorMensagens*& atual()
{
    static ManipuladorMensagens* m = nullptr;
    return m;
}
} // namespace

void DefineManipuladorMensagens(ManipuladorMensagens* m)
{
    atual() = m;
}

ManipuladorMensagens* ManipuladorAtual()
{
    return atual();
}

int MostraMensagem(const PedidoMsg& pedido)
{
    if (atual())
        return atual()->mostra(pedido);
    std::fprintf(stderr, "%s%s%s\n", qPrintable(pedido.titulo), pedido.titulo.isEmpty() ? "" : ": ",
                 qPrintable(pedido.texto));
    return pedido.padrao;
}

void Informa(const QString& texto, const QString& titulo)
{
    MostraMensagem({titulo, texto, IconeMsg::Informacao, {}, 0, -1});
}

void Avisa(const QString& texto, const QString& titulo)
{
    MostraMensagem({titulo, texto, IconeMsg::Aviso, {}, 0, -1});
}

void MostraSimples(const QString& texto)
{
    MostraMensagem({QString(), texto, IconeMsg::Nenhum, {}, 0, -1});
}

void MostraErro(const QString& texto, const QString& titulo)
{
    MostraMensagem({titulo, texto, IconeMsg::Erro, {}, 0, -1});
}

bool Confirma(const QString& texto, const QString& titulo)
{
    const PedidoMsg p{titulo, texto, IconeMsg::Pergunta,
                      {QStringLiteral("&Sim"), QStringLiteral("&Não")}, 1, 1};
    return MostraMensagem(p) == 0;
}

bool Pergunta(const QString& texto, const QString& titulo)
{
    const PedidoMsg p{titulo, texto, IconeMsg::Pergunta,
                      {QStringLiteral("&Sim"), QStringLiteral("&Não")}, 0, 1};
    return MostraMensagem(p) == 0;
}

} // namespace vx
