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
