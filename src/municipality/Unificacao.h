#pragma once
// Patients registered twice: the unification run over the whole register (same origin, name and
// birth date), the list of likely duplicates for the clerk, and the merge of chosen records.
// Merging moves every reference to the surviving record (authorizations and bookings) in the
// caller's one transaction. No widgets here: TFUnificarCadastros and the tests call these.
#include <QDate>
#include <QString>
#include <QVector>

#include <functional>

namespace vx {

class Transacao;

// Tables whose (CLI_ORIGEM, CODPESSOA) point at PESSOAS.
const QStringList& TabelasComPaciente();

// The audit text of one merged record: "Unif.Transf:" + 20 characters of the name + "  De:" ...
QString DescricaoUnificacao(const QString& nome, qint64 de, qint64 para);

struct ResultadoUnificacao {
    int verificados = 0;  // patients read
    int unificados = 0;   // records merged into another
    int excluidos = 0;    // rows deleted (merged ones and any other marked DELETAR)
};

// The run of the screen's button, in a fresh transaction on `tr`, committed at the end: patients
// of one origin with exactly the same name and birth date become the first one read; the others'
// authorizations and bookings point to it, they are marked DELETAR and every patient so marked is
// deleted. `progresso` receives each status text. Any error rolls everything back and propagates.
ResultadoUnificacao ExecutaUnificacao(Transacao& tr, const std::function<void(const QString&)>& progresso = {});

struct CadastroDuplicado {
    QString cliOrigem;
    qint64 codigo = 0;
    QString nome;
    QDate dataNasc;
    QString cartaoSus;
    QString nomeMae;
    int autorizacoes = 0;
};

struct GrupoDuplicados {
    QString motivo;                         // why they were grouped, e.g. "Cartão SUS"
    QVector<CadastroDuplicado> cadastros;   // by code; the first is the proposed survivor
};

// Patients of one origin that look like one person: the same Cartão SUS (15 digits, not all
// zeros), or the same name and birth date, or the same name and mother's name, names compared
// without accents, case or extra blanks. Records linked through any of these form one group.
// `progresso` receives the number of patients read so far.
QVector<GrupoDuplicados> ProvaveisDuplicados(Transacao& tr, const std::function<void(int)>& progresso = {});

// Merges `duplicados` into `sobrevivente` (all of origin `cliOrigem`) in a fresh transaction on
// `tr`, committed: references moved, empty columns of the survivor completed from the duplicates
// (card, birth date, mother, address, telephones...), one audit row per record, records deleted.
// Refuses (ErroValor) a survivor listed among the duplicates and codes that do not exist.
void UnificaPacientes(Transacao& tr, const QString& cliOrigem, qint64 sobrevivente, const QVector<qint64>& duplicados);

} // namespace vx
