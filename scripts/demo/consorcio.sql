-- Authorizations typed at the consortium (Administrativo › Lançamento de Procedimentos), within the
-- selected calendar (the current month): one for a consultation, and one already glosa'd.
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc,
                      datarealizacao, chaveimpre, obs, data_importacao, data_digitacao)
  select '4314902', 1000000, 'ADM', 1, 1, 1, d, d, '14902C1000000', 'ATENDIDO SEM AUTORIZACAO', d, d
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, realizado, quantidade,
                              valortotal, valortotalsus)
  values ('4314902', 1000000, 'ADM', 1, 'S', 1, 30.00, 10.00);
insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc,
                      datarealizacao, codcid, chaveimpre, data_importacao, data_digitacao, databloqueio,
                      codmotivobloqueio)
  select '4314902', 1000001, 'ADM', 2, 3, 7, d, d, 'M54', '14902C1000001', d, d, current_date, 3
  from (select dateadd(1 - extract(day from current_date) day to current_date) d from rdb$database);
insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, realizado, quantidade,
                              valortotal, valortotalsus)
  values ('4314902', 1000001, 'ADM', 9, 'S', 1, 240.00, 97.44);
commit;
-- Production received this month from the three municipalities at the three entities, ready to bill
-- (Administrativo › Faturamento › Faturamento Municípios / Entidades, "(Re)Calcular Fatura" on the
-- grid's menu): 90 imported authorizations with one or two realized procedures each; one of them
-- blocked and one procedure not realized, both left out of the billing.
set term ^;
execute block as
  declare i integer = 0;
  declare d date;
  declare r timestamp;
  declare m varchar(7);
  declare e integer;
  declare prof integer;
  declare p integer;
  declare estampa varchar(15);
begin
  d = dateadd(1 - extract(day from current_date) day to current_date);
  while (i < 90) do
  begin
    m = case mod(i, 3) when 0 then '4314902' when 1 then '4304606' else '4318705' end;
    e = mod(i / 3, 3) + 1;
    prof = case e when 1 then 1 when 2 then 2 else 7 end;
    p = case e when 1 then case mod(i, 2) when 0 then 1 else 5 end
               when 2 then case mod(i, 2) when 0 then 2 else 3 end
               else case mod(i, 5) when 0 then 9 when 1 then 8 else 7 end end;
    r = dateadd(mod(i * 7, 27) day to cast(d as timestamp));
    r = dateadd(540 + mod(i * 13, 480) minute to r);
    estampa = lpad(extract(day from r), 2, '0') || '/' || lpad(extract(month from r), 2, '0') || '/' ||
              extract(year from r) || ' ' || lpad(mod(i * 37, 1000), 3, '0');
    insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc,
                          datarealizacao, chaveimpre, data_importacao, data_digitacao, databloqueio)
      values (:m, 500 + :i, :estampa, case when :m = '4314902' then mod(:i, 2) + 1 end, :e, :prof, cast(:r as date),
              cast(:r as date), substring(:m from 3 for 5) || lpad(500 + :i, 8, '0'), :r, :r,
              case when :i = 45 then cast(:r as date) end);
    insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, realizado, quantidade,
                                  valortotal, valortotalsus)
      select :m, 500 + :i, :estampa, codigo, 'S', 1, valor, valorsus from procedimentos where codigo = :p;
    if (e = 2) then
      insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, realizado, quantidade,
                                    valortotal, valortotalsus)
        select :m, 500 + :i, :estampa, codigo, case when :i = 4 then 'N' else 'S' end, 1, valor, valorsus
        from procedimentos where codigo = 3 - mod(:i, 2);
    i = i + 1;
  end
end^
set term ;^
commit;
-- Bank accounts for the slips: one for production, one for the monthly fees.
insert into contasboletos (id_conta, titulo, banco, agencia, agenciadigito, bairro, cep, cidade, cnpjcpf, codigocedente,
                           conta, contadigito, logradouro, numerores, modalidade, nome, uf, producao, taxa)
  values (1, 'BANRISUL - PRODUÇÃO', '041', '0817', '05', 'CENTRO HISTORICO', '90010170', 'PORTO ALEGRE',
          '12345678000190', '421609371', '0600123', '4', 'RUA DOS ANDRADAS', '1234', 'BDL',
          'CONSORCIO INTERMUNICIPAL DE SAUDE CUNE', 'RS', 'S', 'N');
insert into contasboletos (id_conta, titulo, banco, agencia, agenciadigito, bairro, cep, cidade, cnpjcpf, codigocedente,
                           conta, contadigito, logradouro, numerores, modalidade, nome, uf, producao, taxa)
  values (2, 'BANRISUL - TAXAS', '041', '0817', '05', 'CENTRO HISTORICO', '90010170', 'PORTO ALEGRE',
          '12345678000190', '421610036', '0600456', '1', 'RUA DOS ANDRADAS', '1234', 'BDL',
          'CONSORCIO INTERMUNICIPAL DE SAUDE CUNE', 'RS', 'N', 'S');
-- Last month already billed and collected: the invoices, the receipts and slips issued for them
-- (their receivables come from the documents) and the entities' payables, some of them settled.
set term ^;
execute block as
  declare variable ini date;
  declare variable fim date;
  declare variable emi date;
  declare variable venc date;
begin
  fim = dateadd(-1 day to dateadd(1 - extract(day from current_date) day to current_date));
  ini = dateadd(1 - extract(day from fim) day to fim);
  emi = dateadd(1 day to fim);
  venc = dateadd(19 day to emi);
  insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus, descppc, desccune, acrescdesc, obs,
                             dataprocessamento)
    values ('FAT', :ini, :fim, '4314902', 18450.00, 0, 0, 0, 0, '', :emi);
  insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus, descppc, desccune, acrescdesc, obs,
                             dataprocessamento)
    values ('FAT', :ini, :fim, '4304606', 9320.50, 0, 0, 0, -120.50, 'DESCONTO ACORDADO', :emi);
  insert into fat_municipio (tipo, dataini, datafim, codcliente, valorbruto, descsus, descppc, desccune, acrescdesc, obs,
                             dataprocessamento)
    values ('FAT', :ini, :fim, '4318705', 4105.00, 0, 0, 0, 0, '', :emi);
  insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor, descricao)
    values ('R', 1, 'F', '4314902', :emi, :venc, 18450.00,
            'Referente aos servicos de saude prestados pelo consorcio ao municipio.');
  insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor, descricao)
    values ('B', 1, 'F', '4314902', :emi, :venc, 18450.00,
            'Referente aos servicos de saude prestados pelo consorcio ao municipio.');
  -- A one-off receipt shares the month's receivable; the production slip written after it sets its values.
  insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor, descricao)
    values ('R', 2, 'A', '4304606', :emi, :venc, 350.00, 'Segunda via de prontuarios e laudos.');
  insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor, descricao)
    values ('B', 2, 'F', '4304606', :emi, :venc, 9200.00, 'Producao de servicos de saude do mes.');
  insert into docemissao (tipodoc, numdoc, avulsofatura, codcliente, dataemissao, datavencimento, valor, descricao)
    values ('B', 3, 'F', '4318705', :emi, :venc, 4105.00, '');
  update lanreceber set datapgto = :venc, valorpgto = valordebito, docpgto = 'DEP 8812'
    where codcliente = '4304606';
  update lanreceber set datapgto = :venc, valorpgto = 10000.00, docpgto = 'TED 3391'
    where codcliente = '4314902';
  insert into lanpagar (id, codentidade, origem, datadebito, datavencimento, valordebito, valorpgto, historico, obs,
                        datapgto, docpgto)
    values (1, 1, 'FAT' || lpad(extract(month from :fim), 2, '0') || '/' || extract(year from :fim), :emi, :venc,
            12840.20, 12840.20, 'Fatura ' || lpad(extract(month from :fim), 2, '0') || '/' || extract(year from :fim),
            'Gerado em ' || :emi, :venc, 'TED 1201');
  insert into lanpagar (id, codentidade, origem, datadebito, datavencimento, valordebito, valorpgto, historico, obs)
    values (2, 2, 'FAT' || lpad(extract(month from :fim), 2, '0') || '/' || extract(year from :fim), :emi, :venc,
            11630.00, 5000.00, 'Fatura ' || lpad(extract(month from :fim), 2, '0') || '/' || extract(year from :fim),
            'Gerado em ' || :emi);
end^
set term ;^
commit;
-- The production bulletin (Administrativo › Faturamento › BPA - Boletim da Produção Ambulatorial):
-- the national outpatient table's rows of the demo's procedures (all of medium and high complexity,
-- the consultations and psychotherapy reported with the patient's age), the registration instruments
-- of the procedures without them, and the professionals' national cards. Administrativo › Utilitários ›
-- Importação SIGTAP refreshes prices and instruments from the tables in the installation's sigtap/ folder.
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('030101007', '2', 'CONSULTA MEDICA EM ATENCAO ESPECIALIZADA', 'S', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('020202038', '0', 'HEMOGRAMA COMPLETO', 'N', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('020201047', '3', 'DOSAGEM DE GLICOSE', 'N', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('030205002', '7', 'ATENDIMENTO FISIOTERAPEUTICO', 'N', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('020502004', '6', 'ULTRASSONOGRAFIA DE ABDOMEN TOTAL', 'N', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('020403015', '3', 'RADIOGRAFIA DE TORAX (PA E PERFIL)', 'N', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('020601007', '9', 'TOMOGRAFIA COMPUTADORIZADA DO CRANIO', 'N', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('030108019', '4', 'ATENDIMENTO INDIVIDUAL EM PSICOTERAPIA', 'S', '06');
insert into s_pa (pa_id, pa_dv, pa_dc, pa_idebpa, pa_ctf) values ('021107004', '1', 'AUDIOMETRIA TONAL LIMIAR', 'N', '06');
update procedimentos set registro = 'C' where codigo in (1, 2, 3, 4);
update profissionais set cnsbpa = '209123456780007' where codigo = 1;
update profissionais set cnsbpa = '160543210980018' where codigo = 2;
update profissionais set cnsbpa = '120987654320003' where codigo = 7;
commit;
-- Last month's production and the entities' billing of the last three months (Administrativo ›
-- Faturamento › Demonstrativo IRRF por Município for last month's dates; Demonstrativo DIRF por
-- Entidade for this year): the third entity is exempt (IRRF 0).
set term ^;
execute block as
  declare i integer = 0;
  declare ini date;
  declare fim date;
  declare r timestamp;
  declare m varchar(7);
  declare e integer;
  declare k integer = 0;
begin
  fim = dateadd(-1 day to dateadd(1 - extract(day from current_date) day to current_date));
  ini = dateadd(1 - extract(day from fim) day to fim);
  while (i < 30) do
  begin
    m = case mod(i, 3) when 0 then '4314902' when 1 then '4304606' else '4318705' end;
    e = mod(i / 3, 3) + 1;
    r = dateadd(480 + mod(i * 17, 540) minute to cast(dateadd(mod(i * 5, 27) day to ini) as timestamp));
    insert into marcacao (cli_origem, id_marcacao, data_imp_adm, codpessoa, codentidade, codprofissional, datalanc,
                          datarealizacao, data_importacao, data_digitacao)
      values (:m, 400 + :i, 'M', case when :m = '4314902' then 1 end, :e, case :e when 1 then 1 when 2 then 2 else 7 end,
              cast(:r as date), cast(:r as date), :r, :r);
    insert into marcacao_proceds (cli_origem, id_marcacao, data_imp_adm, codprocedimento, realizado, quantidade,
                                  valortotal, valortotalsus)
      select :m, 400 + :i, 'M', codigo, 'S', 1, valor, valorsus from procedimentos
      where codigo = case :e when 1 then 1 when 2 then 2 else 8 end;
    i = i + 1;
  end
  while (k < 3) do
  begin
    insert into fat_entidade (dataini, datafim, codentidade, valorbruto, irrf, acrescdesc, tarifa, issqn, pis, csll, obs,
                              dataprocessamento)
      values (:ini, :fim, 1, 13050.00 - :k * 410, 195.75 - :k * 6.15, 0, 0, 261.00, 84.83, 130.50, '', :fim);
    insert into fat_entidade (dataini, datafim, codentidade, valorbruto, irrf, acrescdesc, tarifa, issqn, pis, csll, obs,
                              dataprocessamento)
      values (:ini, :fim, 2, 11800.00 + :k * 250, 177.00 + :k * 3.75, 0, 0, 236.00, 76.70, 118.00, '', :fim);
    insert into fat_entidade (dataini, datafim, codentidade, valorbruto, irrf, acrescdesc, tarifa, issqn, pis, csll, obs,
                              dataprocessamento)
      values (:ini, :fim, 3, 6420.00 + :k * 95, 0, 0, 0, 128.40, 0, 0, 'ISENTO DE IR', :fim);
    fim = dateadd(-1 day to ini);
    ini = dateadd(-1 month to ini);
    k = k + 1;
  end
end^
set term ;^
commit;
-- A SIA/SUS transfer (Administrativo › Faturamento › Repasses SIA/SUS) weighted by last month's
-- billing: on Faturamento Municípios, "Consultar Fatura" for last month, "Rateio Desc. SUS", base 1,
-- "Aplicar" writes each municipality's share as its SUS discount.
insert into rateiosus (idrateio, descricao, valortotal, databaseini, databasefim, obs)
  select 1, 'REPASSE SIA/SUS ' || lpad(extract(month from f), 2, '0') || '/' || extract(year from f), 6000.00,
         dateadd(1 - extract(day from f) day to f), f, 'Portaria de repasse do mes'
  from (select dateadd(-1 day to dateadd(1 - extract(day from current_date) day to current_date)) f from rdb$database);
-- Funding credits of the municipalities (used under the CULVAR profile: Repasses SIA/SUS opens the
-- credits screen, and each reception draws the period's lines from them).
insert into creditos (cli_origem, tipo, data, valor, obs)
  select c.codigo, t.tipo, dateadd(-1 month to dateadd(1 - extract(day from current_date) day to current_date)),
         t.valor, 'Credito inicial'
  from clientes c cross join (select 'SUS1' tipo, 2500.00 valor from rdb$database union all
                              select 'SUS2', 1200.00 from rdb$database union all
                              select 'POPULAR', 800.00 from rdb$database) t
  where c.codigo in ('4314902', '4304606', '4318705');
commit;
