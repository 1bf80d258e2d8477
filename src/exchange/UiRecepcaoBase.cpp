#include "exchange/UiRecepcaoBase.h"
#include "core/Banco.h"
#include "core/Mensagens.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/widgets/TelaExecucao.h"
#include "exchange/ftp/FtpCliente.h"

#include <QPlainTextEdit>

namespace vx {

bool RecepcaoBasePendente(TDMCUNE& dm)
{
    try {
        const QDate ultima = LeDataUltRecepcao(dm.IBTransaction);
        dm.IBTransaction.rollback();
        return DeveReceberBase(DataAtualDate(), ultima);
    } catch (const ErroBanco& e) {
        dm.IBTransaction.rollback();
        MostraErro(e.texto());
        return false;
    }
}

ContextoBase ContextoDaTela(TelaExecucao& tela, TDMCUNE& dm)
{
    TelaExecucao* t = &tela;
    ContextoBase ctx;
    ctx.tr = &dm.IBTransaction;
    ctx.ftp = &ClienteFtpCompartilhado();
    ctx.status = [t](const QString& l) { t->adicionaLinha(l); };
    ctx.avisos.linhaAtual = [t](const QString& s) { t->mostraLinhaAtual(s); };
    ctx.avisos.erroLinha = [t](const QString& sql, const QString& erro) {
        t->MStatus()->clear();
        t->adicionaLinha(sql);
        t->adicionaLinha(erro);
    };
    ctx.aviso = [](const QString& s) { Avisa(s); };
    ctx.erro = [](const QString& titulo, const QString& s) { MostraErro(s, titulo); };
    return ctx;
}

} // namespace vx
