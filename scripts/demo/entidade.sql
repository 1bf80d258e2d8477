-- The provider learns of authorizations only through the messages municipalities put on the FTP
-- server: its database starts without the municipality's authorizations.
delete from marcacao_proceds;
delete from marcacao;
commit;
