-- What wixl cannot express, written into the built MSI with msibuild, one statement a line.
-- The settings folder and the starter Dokivo.ini are permanent (an uninstall keeps them, 64-bit
-- component 256 + permanent 16), and the starter is never written over an existing Dokivo.ini
-- on install, repair or upgrade (never overwrite 128).
UPDATE `Component` SET `Attributes` = 272 WHERE `Component` = 'SettingsFolder'
UPDATE `Component` SET `Attributes` = 400 WHERE `Component` = 'StarterSettings'
-- The logon start: as AVVIO_AUTOMATICO says when given ("0" leaves it out), else as the
-- installed version had it, else in. Secure properties, so that they reach an elevated install.
UPDATE `Component` SET `Condition` = 'AVVIO_AUTOMATICO <> "0" AND (AVVIO_AUTOMATICO OR AVVIO_PRECEDENTE OR NOT GIA_INSTALLATO)' WHERE `Component` = 'LogonStart'
UPDATE `Property` SET `Value` = 'AVVIO_AUTOMATICO;AVVIO_PRECEDENTE;GIA_INSTALLATO;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'
-- The starter names the settings folder for the tracking file and the password file, written
-- only where the key is missing, and only when the starter itself is installed.
CREATE TABLE `IniFile` (`IniFile` CHAR(72) NOT NULL, `FileName` CHAR(255) NOT NULL, `DirProperty` CHAR(72), `Section` CHAR(96) NOT NULL, `Key` CHAR(128) NOT NULL, `Value` CHAR(255) NOT NULL, `Action` INT NOT NULL, `Component_` CHAR(72) NOT NULL PRIMARY KEY `IniFile`)
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('TrackingFolder', 'Dokivo.ini', 'SETTINGSDIR', 'TUTTI', 'dir_log_generale', '[SETTINGSDIR]', 1, 'StarterSettings')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('PasswordFolder', 'Dokivo.ini', 'SETTINGSDIR', 'TUTTI', 'dir_pwd', '[SETTINGSDIR]', 1, 'StarterSettings')
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveIniValues', 3400)
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteIniValues', 5100)
-- Standard users may change what is in the settings folder: system and administrators full
-- control, users modify, inherited by the files in it.
CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` LONGCHAR NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)
INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('SettingsFolderUsers', 'SETTINGSDIR', 'CreateFolder', 'D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)')
-- An MSI of the same version replaces the installed one instead of going beside it
-- (upgrade up to this version included: migrate features 1 + maximum included 512).
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADE_CODE@', '@VERSION@', 513, 'WIX_UPGRADE_DETECTED')
