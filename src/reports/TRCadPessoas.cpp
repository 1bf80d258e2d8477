#include "reports/TRCadPessoas.h"
#include "core/UFunc.h"
#include "municipality/TRImpFAA.h"

namespace vx {

using namespace rel;

QString TRCadPessoas::Titulo() { return QStringLiteral("Listagem de Pessoas Cadastradas"); }

std::unique_ptr<Relatorio> TRCadPessoas::Monta(Transacao& tr, bool porNome)
{
    auto r = std::make_unique<Relatorio>();
    r->dados = std::make_unique<DadosSql>(tr, QStringLiteral("SELECT * FROM PESSOAS ")
                                                  + (porNome ? QStringLiteral("ORDER BY NOME") : QStringLiteral("ORDER BY CODIGO")));
    r->cabecalhoPadrao(NomeInstalacao(), Titulo(), QString());
    r->coluna(QStringLiteral("Código"), QStringLiteral("CODIGO"), 14).formatado(Formato::Texto);
    r->coluna(QStringLiteral("Nome"), QStringLiteral("NOME"), 0);
    r->coluna(QStringLiteral("Cartão SUS"), QStringLiteral("CARTAOSUS"), 30).calculada([](const Contexto& c) {
        return FormataCartaoSusFAA(c.campo(QStringLiteral("CARTAOSUS")));
    });
    r->coluna(QStringLiteral("Dt.Nasc."), QStringLiteral("DATANASC"), 18, Alinha::Centro);
    r->coluna(QStringLiteral("Fone"), QStringLiteral("FONES"), 26);
    r->coluna(QStringLiteral("Nome da Mãe"), QStringLiteral("NOMEMAE"), 0);
    r->zebrado = true;
    return r;
}

std::shared_ptr<Documento> TRCadPessoas::Gera(Transacao& tr, bool porNome) { return MontaDocumento(*Monta(tr, porNome)); }

} // namespace vx
