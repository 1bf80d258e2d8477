#pragma once
// Patient registry (PESSOAS): loading, the checks before saving, the statements of a save and a
// delete, the duplicate warning and the race/ethnicity lists. No widgets here: the screen
// TFCadPessoas and the tests call these.
#include <QDate>
#include <QString>
#include <QStringList>

namespace vx {

class Transacao;

// Client of origin of patients created outside a municipality installation.
inline constexpr const char* kCliOrigemNenhum = "0000000";
// Card text that skips the card check and the municipality checks.
inline constexpr const char* kCartaoModulos = "MODULOS";
// Consortium-made patients are numbered above this code.
inline constexpr int kCodigoBaseConsorcio = 95000;

// Client of origin of this installation's patients: the municipality code in the municipality
// role, "0000000" in every other role.
QString ClienteOrigemInstalacao();

// ---- race and ethnicity lists ----
// Items in list order; the last one is the default ("99 - Sem Informação", "999 - Sem Inform.").
const QStringList& ItensRaca();
const QStringList& ItensEtnia();
// Item index for a stored value: races 01 to 05 select their item, anything else the last one;
// ethnicities 058, 077, 057, 143, 208 their item, anything else the last one.
int IndiceRaca(const QString& raca);
int IndiceEtnia(const QString& etnia);
// Stored code of an item: the first two (race) or three (ethnicity) characters.
QString CodigoRaca(const QString& item);
QString CodigoEtnia(const QString& item);

// One patient as the screen holds it (texts as typed; dates "dd/mm/yyyy" or "  /  /    ";
// integers as text, empty or "0" for none).
struct Paciente {
    QString cliOrigem = QString::fromLatin1(kCliOrigemNenhum);
    QString codigo;
    QString cartaoSus;
    QString nome;
    QString dataNasc = QStringLiteral("  /  /    ");
    QString sexo;
    QString raca = QStringLiteral("99");
    QString etnia = QStringLiteral("999");
    QString responsavel;
    QString nomeMae;
    QString codTipoLograd = QStringLiteral("0");
    QString endereco;
    QString endNum = QStringLiteral("0");
    QString bairro;
    QString cep;
    QString fones;
    QString obs;
};

// "select * from PESSOAS where Cli_origem=<origin> and codigo=<code>". False (p untouched) when
// the code is empty or "0" or no row exists; a code that is not an integer throws ErroValor.
// Race and ethnicity are mapped through the lists (unknown values become 99 / 999).
QString SqlCarregaPaciente(const QString& cliOrigem, const QString& codigo);
bool CarregaPaciente(Transacao& tr, const QString& cliOrigem, const QString& codigo, Paciente& p);

// A check that failed: the message and the screen field that gets the focus.
struct Pendencia {
    QString campo;    // "PENomeMae", "PEEndereco", "PEBairro", "PECep", "CBEtnia", "PEDataNasc"
    QString mensagem;
    bool ok() const { return mensagem.isEmpty(); }
};

// Checks of a municipality installation before saving (card not "MODULOS"), in screen order.
Pendencia VerificaPacienteMunicipio(const Paciente& p);
// Birth date check: ages outside 0..120 give "Data Inválida (<age> anos)". The empty date passes.
Pendencia VerificaIdade(const QString& dataNasc, const QDate& hoje);
Pendencia VerificaIdade(const QString& dataNasc);

// Statements of a save.
QString SqlProximoCodigoConsorcio(const QString& cliOrigem);
QString SqlInserePaciente(const Paciente& p);   // an empty code inserts a null CODIGO
QString SqlAlteraPaciente(const Paciente& p);
// Next consortium code of the origin: 95001, or the highest code above 95000 plus one.
QString ProximoCodigoConsorcio(Transacao& tr, const QString& cliOrigem);

// Duplicate warning for column "CartaoSUS" or "Nome": the message "<column> já cadastrado para
// <Nome>, de código <codigo>" when the first patient of any origin holding that value (a name
// compared without accents or case) has a code
// other than `codigoTela`; empty otherwise, and always empty for values starting with two blanks
// or of 3 characters or fewer.
QString SqlDuplicidade(const QString& coluna, const QString& valor);
QString AvisoDuplicidade(Transacao& tr, const QString& coluna, const QString& valor, const QString& codigoTela);

struct GravacaoPaciente {
    QString situacao; // "I" or "U"
    QString codigo;   // the code saved (generated ones included)
    QString falhaCep; // the patient was saved but GERAL/CEP could not be written (why)
};

// The whole save in a fresh transaction: insert or update, the audit row ("Pessoas", I/U,
// "<code>-<name 40>"), commit, then GERAL/CEP := the postal code. An empty or "0" code is an
// insert: the consortium gets the next consortium code, the other roles let the database give
// the next code of the origin. On error the transaction is rolled back and the error rethrown;
// `iniciada` (when given) tells whether the transaction had been started when it failed.
GravacaoPaciente GravaPaciente(Transacao& tr, const Paciente& p, bool consorcio, bool* iniciada = nullptr);

// Why the patient cannot be deleted (authorizations or bookings refer to it), or empty.
QString MotivoNaoExcluir(Transacao& tr, const QString& cliOrigem, const QString& codigo);
// Deletes in a fresh transaction with the audit row ("Pessoas", "D", "<code>-<name 40>").
// A patient with authorizations or bookings is not deleted: returns the refusal message.
// Empty when deleted. Errors roll back and are rethrown.
QString ExcluiPaciente(Transacao& tr, const QString& cliOrigem, const QString& codigo, const QString& nome);

} // namespace vx
