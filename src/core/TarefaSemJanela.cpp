#include "core/TarefaSemJanela.h"
#include "core/Banco.h"
#include "core/Configuracao.h"
#include "core/UDMCune.h"
#include "core/UVariaveis.h"
#include "core/schema/Cadeia.h"

#include <QTextStream>

#include <cstdio>

namespace vx {

int ExecutaTarefaSemJanela(const QString& pasta, const Tarefa& tarefa)
{
    QTextStream saida(stdout);
    QTextStream erro(stderr);
    int rc = TarefaImpossivel;
    {
        try {
            if (!pasta.isEmpty())
                DefinePastaInstalacao(pasta);
            CarregaConfiguracao();
            CarregaIdentidade();
            CalculaDataAtual(Geral::NTP());
        } catch (const std::exception& e) {
            erro << QString::fromUtf8(e.what()) << Qt::endl;
            Conexao::finaliza();
            return TarefaImpossivel;
        }
        TDMCUNE dm;
        if (!dm.ConectaBanco(Geral::DATABASE())) {
            erro << dm.MensagemFalha() << Qt::endl;
        } else {
            try {
                const QString versao = LeVersaoBanco(dm.IBTLivre);
                dm.IBTLivre.rollback();
                if (versao != VersaoEsquemaAtual()) {
                    erro << QStringLiteral("O banco de dados está na versão %1 e este programa usa a versão %2: abra o "
                                           "programa uma vez para atualizá-lo.")
                                .arg(versao, VersaoEsquemaAtual())
                         << Qt::endl;
                } else {
                    rc = tarefa(dm, saida);
                }
            } catch (const ErroBanco& e) {
                erro << e.texto() << Qt::endl;
                rc = TarefaImpossivel;
            } catch (const std::exception& e) {
                erro << QString::fromUtf8(e.what()) << Qt::endl;
                rc = TarefaImpossivel;
            }
        }
        saida.flush();
    }
    Conexao::finaliza();
    return rc;
}

} // namespace vx
