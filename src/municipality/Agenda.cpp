#include "municipality/Agenda.h"
#include "core/Banco.h"
#include "core/Cadastro.h"
#include "core/MenuPrincipal.h"
#include "core/UFunc.h"

#include <QSet>

namespace vx {

namespace {

const QString kSep = QStringLiteral("=//=");

// Shown columns of a search in list order: every field after the key, then the key.
int posicaoNaLista(const QStringList& campos, const QString& campo)
{
    const int i = int(campos.indexOf(campo));
    if (i < 0)
        return -1;
    return i == 0 ? int(campos.size()) - 1 : i - 1;
}

} // namespace

QString NomeDiaSemana(int dia)
{
    static const char* const nomes[] = {"Domingo",      "Segunda-feira", "Terça-feira", "Quarta-feira",
                                        "Quinta-feira", "Sexta-feira",   "Sábado"};
    return dia >= 0 && dia < 7 ? QString::fromUtf8(nomes[dia]) : QString();
}

QString SqlProfissionaisAgenda()
{
    return QStringLiteral(" select distinct(d.codprofissional) as cod, p.nome, c.descricao as especialidade from ag_dispo d "
                          " left outer join profissionais p on d.codprofissional=p.codigo "
                          " left outer join cbo c on p.cbo=c.codigo "
                          " where d.data >= current_date order by p.nome");
}

QString SqlDiasProfissional(const QString& profissional)
{
    QString nomes;
    for (int i = 0; i < 7; ++i)
        nomes += QStringLiteral(", %1, %2").arg(i).arg(SqlTexto(NomeDiaSemana(i)));
    return QStringLiteral("select d.data, decode(extract(weekday from d.data)%1) as diasemana, d.quantdispo as maximo, "
                          "(select count(*) from agenda a where a.codprofissional=d.codprofissional and a.data=d.data) "
                          "as agendados from ag_dispo d where d.codprofissional=%2 and d.data >= current_date "
                          "and d.quantdispo > 0 order by d.data")
        .arg(nomes, SqlInteiro(profissional));
}

QString SqlAgendamentosDia(const QString& profissional, const QDate& data)
{
    return QStringLiteral(" select a.id_agenda, p.nome as nomepessoa, c.nome as nomecidade, a.quemligou from agenda a "
                          " left outer join pessoas p on a.cli_origem=p.cli_origem and a.codpessoa=p.codigo "
                          " left outer join clientes c on a.cli_origem=c.codigo "
                          " where a.codprofissional=%1 and a.data=%2 order by a.hora, p.nome")
        .arg(SqlInteiro(profissional), SqlData(data));
}

SituacaoDia LeSituacaoDia(Transacao& tr, const QString& profissional, const QDate& data)
{
    const QString prof = SqlInteiro(profissional);
    const QString dia = SqlData(data);
    SituacaoDia s;
    const auto d = LeLinha(tr, QStringLiteral("select quantdispo, horainicio from ag_dispo where codprofissional=%1 "
                                              "and data=%2").arg(prof, dia));
    if (d) {
        s.configurado = true;
        s.maximo = (*d)[QStringLiteral("QUANTDISPO")].inteiro();
        s.horaInicio = d->texto(QStringLiteral("HORAINICIO"));
    }
    const auto n = LeLinha(tr, QStringLiteral("select count(*) as n from agenda where codprofissional=%1 and data=%2")
                                   .arg(prof, dia));
    s.agendados = n ? (*n)[QStringLiteral("N")].inteiro() : 0;
    return s;
}

qint64 ProximoIdAgenda(Consulta& q)
{
    q.abre(QStringLiteral("select max(id_agenda) as id from agenda"));
    const qint64 id = q.eof() ? 0 : q.campo(QStringLiteral("ID")).inteiro();
    q.fecha();
    return id + 1;
}

qint64 GravaAgendamento(Transacao& tr, const Agendamento& a)
{
    qint64 id = 0;
    EmTransacao(tr, [&](Consulta& q) {
        id = ProximoIdAgenda(q);
        q.executa(QStringLiteral("insert into agenda(id_agenda, codprofissional, data, cli_origem, codpessoa, quemligou, "
                                 "hora, datalanc, obs) values(%1, %2, %3, %4, %5, %6, %7, %8, %9)")
                      .arg(SqlInteiro(id), SqlInteiro(a.profissional), SqlData(a.data), SqlTexto(a.municipio.trimmed()),
                           SqlInteiro(a.paciente), SqlTexto(a.quemLigou), SqlTexto(a.hora), SqlData(a.dataLanc),
                           SqlTexto(a.obs)));
        return RegistroLog{QStringLiteral("Agenda"), QStringLiteral("I"),
                           QString::number(id) + kSep + a.profissional.trimmed() + kSep + TextoData(a.data) + kSep
                               + a.municipio.trimmed() + kSep + a.paciente.trimmed()};
    });
    return id;
}

void ExcluiAgendamento(Transacao& tr, qint64 id, const QString& profissional, const QDate& data)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("delete from AGENDA where id_agenda=") + SqlInteiro(id));
        return RegistroLog{QStringLiteral("Agenda"), QStringLiteral("E"),
                           QString::number(id) + kSep + profissional.trimmed() + kSep + TextoData(data)};
    });
}

QStringList SugestoesQuemLigou(Transacao& tr, const QString& municipio)
{
    QStringList r;
    for (const LinhaCadastro& l :
         LeLinhas(tr, QStringLiteral("select distinct(quemligou) as quemligou from agenda where cli_origem=%1 "
                                     "and data >= CURRENT_DATE-90").arg(SqlTexto(municipio.trimmed())))) {
        const QString q = l.texto(QStringLiteral("QUEMLIGOU"));
        if (!q.trimmed().isEmpty())
            r << q;
    }
    return r;
}

QString NomePaciente(Transacao& tr, const QString& municipio, const QString& codigo)
{
    if (CodigoVazio(codigo))
        return {};
    const auto l = LeLinha(tr, QStringLiteral("select nome from PESSOAS where Cli_origem=%1 and codigo=%2")
                                   .arg(SqlTexto(municipio.trimmed()), SqlInteiro(codigo)));
    return l ? l->texto(QStringLiteral("NOME")) : QString();
}

QStringList CamposBuscaPaciente(bool comMunicipio)
{
    if (comMunicipio)
        return {QStringLiteral("codigo"), QStringLiteral("nome"), QStringLiteral("cartaosus"), QStringLiteral("DataNasc")};
    return {QStringLiteral("nome"), QStringLiteral("codigo"), QStringLiteral("cartaosus"), QStringLiteral("DataNasc"),
            QStringLiteral("CLI_ORIGEM")};
}

QString CondicaoBuscaPaciente(const QString& municipio)
{
    return QStringLiteral("CLI_ORIGEM=") + SqlTexto(municipio.trimmed());
}

std::optional<PacienteEscolhido> PacienteDaLinha(const QStringList& linhaEscolhida)
{
    const QStringList campos = CamposBuscaPaciente(false);
    if (linhaEscolhida.size() != campos.size())
        return std::nullopt;
    PacienteEscolhido p;
    p.nome = linhaEscolhida.at(posicaoNaLista(campos, QStringLiteral("nome")));
    p.codigo = linhaEscolhida.at(posicaoNaLista(campos, QStringLiteral("codigo"))).trimmed();
    p.municipio = linhaEscolhida.at(posicaoNaLista(campos, QStringLiteral("CLI_ORIGEM"))).trimmed();
    if (p.codigo.isEmpty() || p.municipio.isEmpty())
        return std::nullopt;
    return p;
}

QString CondicaoProfissionaisDispo()
{
    return QStringLiteral("DataExclusao is null and (CBO IS NULL OR CBO<>'324115')");
}

std::optional<Disponibilidade> LeDisponibilidade(Transacao& tr, const QString& profissional, const QDate& data)
{
    const auto l = LeLinha(tr, QStringLiteral("select * from ag_dispo where codprofissional=%1 and data=%2")
                                   .arg(SqlInteiro(profissional), SqlData(data)));
    if (!l)
        return std::nullopt;
    Disponibilidade d;
    d.profissional = l->texto(QStringLiteral("CODPROFISSIONAL"));
    d.data = (*l)[QStringLiteral("DATA")].data();
    d.quantDispo = l->texto(QStringLiteral("QUANTDISPO"));
    d.horaInicio = l->texto(QStringLiteral("HORAINICIO"));
    d.obs = l->texto(QStringLiteral("OBS"));
    return d;
}

void GravaDisponibilidade(Transacao& tr, const Disponibilidade& d)
{
    EmTransacao(tr, [&](Consulta& q) {
        q.executa(QStringLiteral("update or insert into ag_dispo(CODPROFISSIONAL, DATA, QUANTDISPO, HORAINICIO, OBS) "
                                 "VALUES(%1, %2, %3, %4, %5)")
                      .arg(SqlInteiro(d.profissional), SqlData(d.data), SqlInteiro(d.quantDispo), SqlTexto(d.horaInicio),
                           SqlTexto(d.obs)));
        return RegistroLog{};
    });
}

bool PodeConfigurarAgenda(Transacao& tr, const QString& usuario)
{
    const QStringList nomes = NomesMenuPrincipal();
    const QSet<QString> existentes(nomes.cbegin(), nomes.cend());
    const QStringList ocultos = Lendo(tr, [&] { return MenusOcultos(LeMenusUsuario(tr, usuario), existentes); });
    return !ocultos.contains(QStringLiteral("Configuraes1")) && !ocultos.contains(QStringLiteral("Agendamento1"));
}

} // namespace vx
