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
