#include "core/schema/IndicesBusca.h"
#include "core/Banco.h"
#include "core/schema/Catalogo.h"

#include <QStringList>

namespace vx {

namespace {

const QString kTabela = QStringLiteral("BUSCA_PESSOAS");
const QString kIndiceTrecho = QStringLiteral("IX_BUSCA_PESSOAS_TRECHO");

bool existeProcedimento(Transacao& tr, const QString& nome)
{
    return tr.valor(QStringLiteral("select 1 from rdb$procedures where rdb$procedure_name = ?"), {nome}).isValid();
}

// Character set of a column (53: WIN1252).
int charsetColuna(Transacao& tr, const QString& tabela, const QString& coluna)
{
    const QVariant v = tr.valor(QStringLiteral("select f.rdb$character_set_id from rdb$relation_fields rf join rdb$fields f "
                                               "on f.rdb$field_name = rf.rdb$field_source "
                                               "where rf.rdb$relation_name = ? and rf.rdb$field_name = ?"),
                                {tabela, coluna});
    return v.isValid() ? v.toInt() : -1;
}

// The pieces of a name and a card, one row each. A card the character set cannot take gives none.
const char* const kProcedimento =
    "CREATE OR ALTER PROCEDURE BUSCA_TRECHOS (NOME TYPE OF COLUMN PESSOAS.NOME, "
    "CARTAO TYPE OF COLUMN PESSOAS.CARTAOSUS)\n"
    "RETURNS (TRECHO VARCHAR(12) CHARACTER SET WIN1252)\n"
    "AS\n"
    "DECLARE S VARCHAR(200) CHARACTER SET WIN1252;\n"
    "DECLARE N INTEGER;\n"
    "DECLARE I INTEGER;\n"
    "DECLARE INI INTEGER;\n"
    "DECLARE K INTEGER;\n"
    "DECLARE VEZ INTEGER = 0;\n"
    "BEGIN\n"
    "  WHILE (VEZ < 2) DO BEGIN\n"
    "    S = NULL;\n"
    "    BEGIN\n"
    "      IF (VEZ = 0) THEN S = NOME; ELSE S = CARTAO;\n"
    "      WHEN ANY DO S = NULL;\n"
    "    END\n"
    "    VEZ = VEZ + 1;\n"
    "    N = COALESCE(CHAR_LENGTH(S), 0);\n"
    "    I = 1;\n"
    "    WHILE (I <= N) DO BEGIN\n"
    "      IF (SUBSTRING(S FROM I FOR 1) = ' ') THEN\n"
    "        I = I + 1;\n"
    "      ELSE BEGIN\n"
    "        INI = I;\n"
    "        I = POSITION(' ', S, INI);\n"
    "        IF (I = 0) THEN I = N + 1;\n"
    "        K = INI;\n"
    "        WHILE (K <= I - 3) DO BEGIN\n"
    "          TRECHO = SUBSTRING(S FROM K FOR MINVALUE(12, I - K));\n"
    "          SUSPEND;\n"
    "          K = K + 1;\n"
    "        END\n"
    "      END\n"
    "    END\n"
    "  END\n"
    "END";

// Kept in the transaction that changes the patient (a rollback takes the pieces back too).
const char* const kTrigger =
    "CREATE TRIGGER PESSOAS_AIUD_BUSCA FOR PESSOAS ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 20\n"
    "AS\n"
    "BEGIN\n"
    "  IF (UPDATING) THEN\n"
    "    IF (NEW.CLI_ORIGEM = OLD.CLI_ORIGEM AND NEW.CODIGO = OLD.CODIGO AND NEW.NOME IS NOT DISTINCT FROM OLD.NOME\n"
    "        AND NEW.CARTAOSUS IS NOT DISTINCT FROM OLD.CARTAOSUS) THEN EXIT;\n"
    "  IF (NOT INSERTING) THEN\n"
    "    DELETE FROM BUSCA_PESSOAS WHERE CLI_ORIGEM = OLD.CLI_ORIGEM AND CODIGO = OLD.CODIGO;\n"
    "  IF (NOT DELETING) THEN\n"
    "    INSERT INTO BUSCA_PESSOAS (CLI_ORIGEM, CODIGO, TRECHO)\n"
    "      SELECT NEW.CLI_ORIGEM, NEW.CODIGO, TRECHO FROM BUSCA_TRECHOS(NEW.NOME, NEW.CARTAOSUS);\n"
    "END";

// Every patient's pieces, in slices of about 100,000 patients (one origin, a range of codes). Each
// slice goes in sorted by piece, so that the entries of a piece lie together on disk and reading
// a few thousand of them is cheap.
void preencheTrechos(Transacao& tr, const std::function<void(const QString&)>& progresso)
{
    // Nothing to tell for a register without patients.
    auto avisa = [&](qint64 feitos, qint64 total) {
        if (progresso && total > 0)
            progresso(QStringLiteral("Preparando a busca de pacientes... %1%").arg(feitos * 100 / total));
    };
    struct Origem {
        QString codigo;
        qint64 quantos, menor, maior;
    };
    QVector<Origem> origens;
    qint64 total = 0;
    {
        Consulta q(tr);
        for (q.abre(QStringLiteral("select cli_origem, count(*), min(codigo), max(codigo) from pessoas group by cli_origem"));
             !q.eof(); q.proximo()) {
            origens.push_back({q.campo(0).texto(), q.campo(1).i, q.campo(2).i, q.campo(3).i});
            total += q.campo(1).i;
        }
    }
    avisa(0, total);
    tr.executa(QStringLiteral("delete from busca_pessoas"));
    const QString insere = QStringLiteral(
        "insert into busca_pessoas (cli_origem, codigo, trecho) "
        "select p.cli_origem, p.codigo, t.trecho from pessoas p cross join busca_trechos(p.nome, p.cartaosus) t "
        "where p.cli_origem = ? and p.codigo between ? and ? order by t.trecho");
    constexpr qint64 kFatia = 100000;
    qint64 feitos = 0;
    for (const Origem& o : origens) {
        const qint64 fatias = (o.quantos + kFatia - 1) / kFatia;
        const qint64 passo = (o.maior - o.menor) / fatias + 1;
        for (qint64 i = 0; i < fatias; ++i) {
            const qint64 de = o.menor + i * passo;
            tr.executa(insere, {o.codigo, de, qMin(o.maior, de + passo - 1)});
            avisa(feitos + o.quantos * (i + 1) / fatias, total);
        }
        feitos += o.quantos;
    }
}

} // namespace

// Indexes of the patient search (PESSOAS may hold a million rows):
//  IX_PESSOAS_NOME            NOME              searches are ordered by NOME and read the first 400:
//                                               walking this index stops as soon as 400 rows match
//                                               (empty text, frequent fragments); a prefix starts
//                                               the walk at the prefix; name ranges and "is null"
//                                               are read through it.
//  IX_PESSOAS_NOME_AI         NOME COLLATE      names compare without accents or case: a prefix
//                             WIN_PTBR          ("MAR%") becomes an index range; the walk above
//                                               skips non-matching entries without reading rows.
//  IX_PESSOAS_NOME_UPPER      UPPER(NOME)       the same for databases whose NOME is not WIN1252.
//  IX_PESSOAS_CARTAOSUS_UPPER UPPER(CARTAOSUS)  the patient search also matches the card number
//                                               with OR: the range above is only usable when both
//                                               sides of the OR are indexed.
//  BUSCA_PESSOAS              word pieces       fragments ("%SILVA%") find their candidates by a
//                                               range on IX_BUSCA_PESSOAS_TRECHO.
void CriaIndicesBusca(Transacao& tr, const std::function<void(const QString&)>& progresso)
{
    if (!catalogo::existeTabela(tr, QStringLiteral("PESSOAS")))
        return;
    catalogo::criaIndice(tr, QStringLiteral("IX_PESSOAS_NOME"), QStringLiteral("PESSOAS"), QStringLiteral("NOME"));
    const struct {
        const char* nome;
        const char* expressao;
        const char* coluna;
    } calculados[] = {{"IX_PESSOAS_NOME_UPPER", "UPPER(NOME)", "NOME"},
                      {"IX_PESSOAS_CARTAOSUS_UPPER", "UPPER(CARTAOSUS)", "CARTAOSUS"},
                      {"IX_PESSOAS_NOME_AI", "NOME COLLATE WIN_PTBR", "NOME"}};
    for (const auto& c : calculados) {
        if (catalogo::existeIndice(tr, QLatin1String(c.nome)) ||
            !catalogo::existeColuna(tr, QStringLiteral("PESSOAS"), QLatin1String(c.coluna)))
            continue;
        if (QByteArray(c.expressao).contains("COLLATE") && charsetColuna(tr, QStringLiteral("PESSOAS"), QLatin1String(c.coluna)) != 53)
            continue;
        tr.executa(QStringLiteral("CREATE INDEX %1 ON PESSOAS COMPUTED BY (%2)")
                       .arg(QLatin1String(c.nome), QLatin1String(c.expressao)));
    }
    if (catalogo::existeIndice(tr, kIndiceTrecho) || !catalogo::existeColuna(tr, QStringLiteral("PESSOAS"), QStringLiteral("CARTAOSUS")))
        return;
    // The table and its trigger are committed before the fill (a table is usable only after the
    // commit that creates it); the fill and the piece index go together, so an interrupted fill
    // leaves no index and runs again at the next start.
    catalogo::criaTabela(tr, kTabela, QStringLiteral("CLI_ORIGEM VARCHAR(7) NOT NULL, CODIGO INTEGER NOT NULL, "
                                                     "TRECHO VARCHAR(12) CHARACTER SET WIN1252 NOT NULL COLLATE WIN_PTBR"));
    if (!existeProcedimento(tr, QStringLiteral("BUSCA_TRECHOS")))
        tr.executa(QString::fromLatin1(kProcedimento));
    if (!catalogo::existeTrigger(tr, QStringLiteral("PESSOAS_AIUD_BUSCA")))
        tr.executa(QString::fromLatin1(kTrigger));
    tr.commit();
    tr.inicia();
    preencheTrechos(tr, progresso);
    // Built once over the filled table, faster than kept row by row.
    catalogo::criaIndice(tr, QStringLiteral("IX_BUSCA_PESSOAS_PESSOA"), kTabela, QStringLiteral("CLI_ORIGEM, CODIGO"));
    catalogo::criaIndice(tr, kIndiceTrecho, kTabela, QStringLiteral("TRECHO"));
}

bool TrechosProntos(Transacao& tr)
{
    return catalogo::existeIndice(tr, kIndiceTrecho);
}

QStringList TrechosDe(const QString& texto)
{
    QStringList r;
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n;) {
        while (i < n && texto.at(i) == QLatin1Char(' '))
            ++i;
        const qsizetype ini = i;
        while (i < n && texto.at(i) != QLatin1Char(' '))
            ++i;
        for (qsizetype k = ini; k + kMinimoTrecho <= i; ++k)
            r << texto.mid(k, qMin<qsizetype>(kTamanhoTrecho, i - k));
    }
    return r;
}

} // namespace vx
