# What wixl can't write, applied by scripts/package with msibuild once the
# database's code page is 932: one statement a line; '#' starts a comment.
# scripts/package fills in @MSI_VERSION@ and @UPGRADE_CODE@.

# The shortcut's tooltip.
UPDATE `Shortcut` SET `Description` = 'USB メモリとフロッピーの使用を切り替えます' WHERE `Shortcut` = 'StartMenuShortcut'
# Shown when a newer version is already installed.
UPDATE `LaunchCondition` SET `Description` = 'より新しいバージョンの Kestrova がインストールされています。' WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'
# The event source: wixl writes every string as REG_SZ ('#%' makes it
# REG_EXPAND_SZ, as the event log expects) and has no key of its own that
# uninstalling removes ('*': created on install, removed with its values).
UPDATE `Registry` SET `Value` = '#%[#vantorel.exe]' WHERE `Name` = 'EventMessageFile'
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('EventSourceKey', 2, 'SYSTEM\CurrentControlSet\Services\EventLog\Application\Kestrova', '*', 'Program')
# Every build has its own ProductCode, so a rebuild of the same version must
# replace the installed one too: MigrateFeatures + VersionMaxInclusive.
# (Attributes is part of the key, so the row is replaced, not updated.)
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADE_CODE@', '@MSI_VERSION@', 513, 'WIX_UPGRADE_DETECTED')
