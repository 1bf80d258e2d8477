#include "core/schema/IndicesBusca.h"
#include "core/Banco.h"
#include "core/schema/Catalogo.h"

namespace vx {

// Indexes of the patient search (PESSOAS may hold a million rows):
//  IX_PESSOAS_NOME            NOME              searches are ordered by NOME and read the first 400:
//                                               walking this index stops as soon as 400 rows match
//                                               (empty text, frequent fragments); a prefix starts
//                                               the walk at the prefix; name ranges and "is null"
//                                               are read through it.
//  IX_PESSOAS_NOME_UPPER      UPPER(NOME)       a prefix ("MAR%") becomes an index range; the walk
//                                               above skips non-matching entries without reading
//                                               their rows.
//  IX_PESSOAS_CARTAOSUS_UPPER UPPER(CARTAOSUS)  the patient search also matches the card number
//                                               with OR: the range above is only usable when both
//                                               sides of the OR are indexed.
// Fragments ("%SILVA%") cannot use a B-tree range: ExecutaBusca samples the matches with one pass
// and reads name ranges between sample values.
void CriaIndicesBusca(Transacao& tr)
{
    if (!catalogo::existeTabela(tr, QStringLiteral("PESSOAS")))
        return;
    catalogo::criaIndice(tr, QStringLiteral("IX_PESSOAS_NOME"), QStringLiteral("PESSOAS"), QStringLiteral("NOME"));
    const struct {
        const char* nome;
        const char* coluna;
    } calculados[] = {{"IX_PESSOAS_NOME_UPPER", "NOME"}, {"IX_PESSOAS_CARTAOSUS_UPPER", "CARTAOSUS"}};
    for (const auto& c : calculados) {
        if (catalogo::existeIndice(tr, QLatin1String(c.nome)) ||
            !catalogo::existeColuna(tr, QStringLiteral("PESSOAS"), QLatin1String(c.coluna)))
            continue;
        tr.executa(QStringLiteral("CREATE INDEX %1 ON PESSOAS COMPUTED BY (UPPER(%2))")
                       .arg(QLatin1String(c.nome), QLatin1String(c.coluna)));
    }
}

} // namespace vx
