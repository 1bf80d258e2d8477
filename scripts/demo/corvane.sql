-- Availability and bookings for Agenda › Agendamento (a consortium under the CORVANE profile):
-- ANA PAULA SOUZA sees patients tomorrow (4 places) and the day after (2 places, both taken: drawn
-- in red); a day off with no places is not listed; MARIANA ROCHA's agenda lies in the past only.
insert into ag_dispo (codprofissional, data, quantdispo, horainicio, obs) values (1, current_date + 1, 4, '08:00', 'TURNO DA MANHÃ');
insert into ag_dispo (codprofissional, data, quantdispo, horainicio, obs) values (1, current_date + 2, 2, '13:30', null);
insert into ag_dispo (codprofissional, data, quantdispo, horainicio, obs) values (1, current_date + 3, 0, '08:00', 'FÉRIAS');
insert into ag_dispo (codprofissional, data, quantdispo, horainicio, obs) values (1, current_date + 7, 4, '08:00', null);
insert into ag_dispo (codprofissional, data, quantdispo, horainicio, obs) values (2, current_date + 1, 5, '07:30', null);
insert into ag_dispo (codprofissional, data, quantdispo, horainicio, obs) values (3, current_date - 3, 3, '08:00', null);
insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa, quemligou, hora, datalanc)
  values (1, 1, current_date + 1, '4314902', 1, 'JOANA (RECEPÇÃO UBS CENTRO)', '08:00', current_date - 1);
insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa, quemligou, hora, datalanc)
  values (2, 1, current_date + 2, '4314902', 2, 'JOANA (RECEPÇÃO UBS CENTRO)', '13:30', current_date - 1);
insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa, quemligou, hora, datalanc)
  values (3, 1, current_date + 2, '4314902', 1, 'CARLOS SMS', '14:00', current_date);
insert into agenda (id_agenda, codprofissional, data, cli_origem, codpessoa, quemligou, hora, datalanc)
  values (4, 2, current_date + 1, '4314902', 2, 'CARLOS SMS', '07:30', current_date);
commit;
