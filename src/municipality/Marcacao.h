#pragma once
// Authorizations of a municipality: the number and key, the procedure list, the writes of the
// authorization screen (insert and remove a procedure, finalize, cancel) and the rules it checks.
// Every write runs in a fresh transaction on the given one and is committed there.
#include "core/Decimal.h"
#include "exchange/ftp/TransporteFtp.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace vx {

class Consulta;
class FtpCliente;
class Transacao;

inline constexpr int kMaximoProcedimentos = 15;
// Numbers from here up are authorizations the consortium entered for the municipality.
inline constexpr qint64 kPrimeiroNumeroConsorcio = 1000000;

// Last five digits of the municipality, the number (5 digits below 100000, else 6) and the
// milliseconds of `hora`.
QString ChaveAutorizacao(const QString& municipio, qint64 numero, const QTime& hora);
// Highest municipal number plus one (1 for the first).
qint64 ProximoNumeroAutorizacao(Consulta& q, const QString& municipio);

// One row of the procedure list.
struct ProcedimentoMarcacao {
    qint64 codigo = 0;
    qint64 quantidade = 0;
    Decimal valorTotal;
    QString nome;
    QString requerApac;
    QString registro;
    qint64 quantMax = 0;
};
// `carimbo`: DATA_IMP_ADM of the copy ("M" the municipality's own).
QString SqlProcedimentosMarcacao(const QString& municipio, qint64 numero, const QString& carimbo = QStringLiteral("M"));
QVector<ProcedimentoMarcacao> LeProcedimentosMarcacao(Transacao& tr, const QString& municipio, qint64 numero,
                                                      const QString& carimbo = QStringLiteral("M"));
Decimal TotalMarcacao(const QVector<ProcedimentoMarcacao>& lista);

// The authorization as the screen holds it; codes as typed ("" or "0": none), dates "dd/mm/yyyy"
// (an empty date may be the blank mask), the time as typed with its mask characters.
struct Autorizacao {
    QString municipio;
    QString paciente, entidade, profissional;
    QString dataLanc;
    QString dataMarc;
    QString horaMarc;
    QString carater;
    QString cid;
    QString obs;
    QString unidade;
    QString usuario;
    QString dataAtual; // working date, stamped with the clock on creation
};

// The contracted link of a procedure at an entity (with its professional when one is given or
// `exigeProfissional`): the statement both the procedure field and the insertion check.
QString SqlVinculoProcedimento(const QString& procedimento, const QString& entidade, const QString& profissional,
                               bool exigeProfissional);
// The four existence checks of an insertion; false at the first one without a row.
bool VinculosDaInsercao(Consulta& q, const QString& procedimento, const QString& entidade, const QString& profissional,
                        bool exigeProfissional);

// Quantity written for a procedure: 1 when hidden, empty or "0".
qint64 QuantidadeProcedimento(const QString& digitado, bool campoVisivel);
// Why a quantity cannot be authorized (above the procedure's maximum, or an amount the value
// columns cannot hold); empty when it can.
QString RecusaQuantidade(qint64 quantidade, qint64 quantMax, const Decimal& valor, const Decimal& valorSus);
// quantity × price as the number written to the database (double, at most 15 significant digits).
QString ProdutoSql(qint64 quantidade, const Decimal& preco);

// Runs `tentativa` (one whole transaction) again while it fails because the number of the
// authorization it was creating was taken by another workstation meanwhile; `tentativa` keeps
// `criando` true until its new MARCACAO row is in. After a few tries the failure becomes a clear
// message. Any other error propagates at once.
void RepeteSeNumeroTomado(const std::function<void(bool& criando)>& tentativa);

// One MARCACAO_PROCEDS row of `carimbo` with VALORTOTAL and VALORTOTALSUS = quantity × the
// procedure's current VALOR and VALORSUS; REALIZADO 'S' when `realizado`. Throws ErroValor
// when the procedure does not exist.
void InsereLinhaProcedimento(Consulta& q, const QString& municipio, qint64 numero, const QString& carimbo,
                             qint64 procedimento, qint64 quantidade, bool realizado = false);

struct AutorizacaoAberta {
    qint64 numero = 0;
    QString chave;
};
// Adds a procedure to the open authorization `aberta` (none: numero 0), creating the
// authorization first. The number and key come back only once committed; when another
// workstation took the same number meanwhile, a fresh one is tried. Throws on any database error
// (nothing of the insertion stays).
AutorizacaoAberta InsereProcedimento(Transacao& tr, const Autorizacao& a, const AutorizacaoAberta& aberta,
                                     qint64 procedimento, qint64 quantidade,
                                     const QDateTime& agora = QDateTime::currentDateTime());
void ExcluiProcedimento(Transacao& tr, const QString& municipio, qint64 numero, qint64 procedimento,
                        const QString& carimbo = QStringLiteral("M"));

// What the procedures of an authorization require at finalization.
struct Exigencias {
    bool apac = false;          // APAC page printed
    bool bpaIndividual = false; // some procedure is recorded individually (REGISTRO "I")
    bool fisio = false;         // some procedure name contains FISIO
};
Exigencias ExigenciasDe(const QVector<ProcedimentoMarcacao>& lista, bool municipioEmiteApac);
// True when the authorization is refused for want of a CID.
bool FaltaCid(const Exigencias& e, const QString& cid, bool perfilCorvane);
bool CaraterValido(const QString& carater);

// The update of the finalized authorization with its audit row, committed.
void GravaFinalizacao(Transacao& tr, const Autorizacao& a, const AutorizacaoAberta& aberta);
// Blocks the authorization as cancelled by the user, with its audit row, committed.
void CancelaAutorizacao(Transacao& tr, const QString& municipio, qint64 numero, const QString& dataLanc);

enum class ResultadoEnvio { Enviado, Falhou, NaoEnviado };
// " => Enviando arquivo XML...", the upload of arquivosxml/env/<arquivo> to the professional's
// folder and its " (enviado)" mark. Falhou: the upload's own lines tell why. NaoEnviado: no client,
// or an error raised (" => Não foi possível ENVIAR o arquivo <arquivo>" written).
ResultadoEnvio EnviaAoProfissional(FtpCliente* ftp, const QString& arquivo, qint64 profissional, const LinhaStatus& status);
// Same for any destination of EnviaArquivoFtp ("F2026_12": the month's realization folder).
ResultadoEnvio EnviaAoDestino(FtpCliente* ftp, const QString& arquivo, const QString& destino, const LinhaStatus& status);
// The audit text of an outcome: "Enviou xml.", "Falhou ao enviar xml.", "Não foi possível enviar xml.".
QString SituacaoEnvio(ResultadoEnvio r);
struct EnvioAutorizacao {
    QString arquivo;       // file name in arquivosxml/env (without " (enviado)")
    bool gravado = false;  // the message file was written
    ResultadoEnvio envio = ResultadoEnvio::NaoEnviado;
};
// After the printout: the audit row "Imprimiu", the message file, the upload to the professional's
// folder (null `ftp`: no upload, the file stays pending), the " (enviado)" rename and the audit
// row of the outcome, committed. Progress lines go to `status`.
EnvioAutorizacao EnviaAutorizacao(Transacao& tr, FtpCliente* ftp, const QString& municipio, const QString& nomeMunicipio,
                                  qint64 numero, const QString& profissional, const LinhaStatus& status);

// The patient as the authorization needs him.
struct PacienteMarcacao {
    QString nome;
    QString cartaoSus;  // trimmed
    bool completo = false; // every required field present ("MODULOS" cards always)
    bool modulos = false;
};
PacienteMarcacao LePacienteMarcacao(Transacao& tr, const QString& municipio, const QString& codigo);
// The patient's history (blocked authorizations left out), newest first.
QString SqlHistoricoPaciente(const QString& municipio, const QString& codigo);

} // namespace vx
