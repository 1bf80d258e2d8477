#pragma once
// Monthly billing statements: the entity statement, the municipality statement and its CUMBEL
// form. What the printed statements read: their queries, the municipalities with most production
// at an entity, the billing calendar of the period and the filter line.
#include "billing/Faturamento.h"
#include <QDate>
#include <QString>
#include <QVariantList>

namespace vx {

class Transacao;

struct PedidoDemonstrativo {
    QDate inicio, fim;              // billing period as typed (FAT_*.DATAINI / DATAFIM)
    bool entidades = false;         // entity statement; else municipality statement
    bool taxas = false;             // municipality: TIPO 'TAXA' (monthly fee) instead of 'FAT'
    bool listarMunicipios = false;  // entity statement: the five municipalities with most production
    QString perfil;                 // GERAL/CONSORCIO
};

enum class ModeloDemonstrativo { Entidades, Municipios, MunicipiosCumbel };

ModeloDemonstrativo ModeloDe(const PedidoDemonstrativo& p);
QString TituloDemonstrativo(ModeloDemonstrativo m);

struct ConsultaDemonstrativo {
    QString sql;
    QVariantList parametros;
};

// FAT_ENTIDADE of the period with the entity's data, ordered by name. Under CULVAR also SUS1,
// SUS2, POPULAR and MUN (the billed value less the three credit-covered parts) of the entity's
// lines received between the period's two dates.
ConsultaDemonstrativo SqlDemonstrativoEntidades(const PedidoDemonstrativo& p);
// FAT_MUNICIPIO of the period and type with the municipality's name, ordered by name.
ConsultaDemonstrativo SqlDemonstrativoMunicipios(const PedidoDemonstrativo& p);
// Same with the fixed and variable parts of the apportionment base the row was billed with.
ConsultaDemonstrativo SqlDemonstrativoCumbel(const PedidoDemonstrativo& p);
// The statement's query for the request's model.
ConsultaDemonstrativo SqlDemonstrativo(const PedidoDemonstrativo& p);

// Production of a municipality by charging group (GRUPO, VALOR), lines received from inicio
// 00:00:01 to fim 23:59:59.
ConsultaDemonstrativo SqlGruposMunicipio(const QString& codCliente, const QDate& inicio, const QDate& fim);

// The five municipalities with most production at an entity (CLI_ORIGEM, APELIDO, VALOR), lines
// received from inicio 00:01 to fim 23:59.
ConsultaDemonstrativo SqlMunicipiosMaisAtendidos(qint64 codEntidade, const QDate& inicio, const QDate& fim);
// Their short names, each followed by "-" ("A-B-C-"); empty without production.
QString MunicipiosMaisAtendidos(Transacao& tr, qint64 codEntidade, const QDate& inicio, const QDate& fim);

// "Período: dd/mm/yyyy e dd/mm/yyyy (<descricao>)".
QString LinhaFiltroDemonstrativo(const QDate& inicio, const QDate& fim, const QString& descricao);

} // namespace vx
