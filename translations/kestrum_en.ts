<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Kestrum</name>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>屏号</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Mac地址</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>确定要修改参数吗</source>
        <translation>Change the card&apos;s settings?</translation>
    </message>
    <message>
        <source>最近一次修改 %1，修改前 IP %2%3</source>
        <translation>Last changed %1, IP before the change %2%3</translation>
    </message>
    <message>
        <source>（未确认）</source>
        <translation> (not confirmed)</translation>
    </message>
    <message>
        <source>修改记录无法写入：%1
修改照常进行，但不会被记录。本次运行中不再提示。</source>
        <translation>The change history cannot be written: %1
Changes go ahead but are not recorded. This is not shown again in this run.</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>操作已停止，程序继续运行。</source>
        <translation>The action was stopped. The program goes on.</translation>
    </message>
    <message>
        <source>保存报告...</source>
        <translation>Save report...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>详细信息:</source>
        <translation>Details:</translation>
    </message>
    <message>
        <source>报告已保存到 %1</source>
        <translation>Report saved to %1</translation>
    </message>
    <message>
        <source>报告无法保存到 %1：%2</source>
        <translation>The report could not be saved to %1: %2</translation>
    </message>
    <message>
        <source>保存报告</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>Kestrum 已停止</source>
        <translation>Kestrum stopped</translation>
    </message>
    <message>
        <source>报告保存在 %1</source>
        <translation>The report is kept in %1</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>复制报告</source>
        <translation>Copy report</translation>
    </message>
    <message>
        <source>Kestrum 上次运行时因严重错误而停止。</source>
        <translation>Kestrum stopped after a fatal error the last time it ran.</translation>
    </message>
    <message>
        <source>报告文件夹无法写入（%1）：下次启动时将再次显示此报告。</source>
        <translation>The report folder cannot be written (%1): this report will be shown again at the next start.</translation>
    </message>
    <message>
        <source>报告不完整：写入被中断。</source>
        <translation>The report is incomplete: writing it was cut short.</translation>
    </message>
    <message>
        <source>文件共 %1 字节，只显示前 %2 字节。</source>
        <translation>The file holds %1 bytes; only the first %2 are shown.</translation>
    </message>
    <message>
        <source>同一文件夹中还保存着 %1 份较早的报告。</source>
        <translation>%1 older report(s) are kept in the same folder.</translation>
    </message>
    <message>
        <source>无法打开文件夹 %1。</source>
        <translation>The folder %1 could not be opened.</translation>
    </message>
    <message>
        <source>报告的显示部分已复制到剪贴板。</source>
        <translation>The shown part of the report was copied to the clipboard.</translation>
    </message>
    <message>
        <source>报告已复制到剪贴板。</source>
        <translation>The report was copied to the clipboard.</translation>
    </message>
</context>
<context>
    <name>kestrum::BatchChangeDialog</name>
    <message>
        <source>确定要修改这 %1 张卡吗</source>
        <translation>Change these %1 cards?</translation>
    </message>
    <message>
        <source>批量修改</source>
        <translation>Change several cards</translation>
    </message>
    <message>
        <source>起始IP地址:</source>
        <translation>First IP:</translation>
    </message>
    <message>
        <source>子网掩码:</source>
        <translation>Mask:</translation>
    </message>
    <message>
        <source>网关:</source>
        <translation>Gateway:</translation>
    </message>
    <message>
        <source>服务器IP:</source>
        <translation>Server IP:</translation>
    </message>
    <message>
        <source>服务器端口:</source>
        <translation>Server port:</translation>
    </message>
    <message>
        <source>心跳:</source>
        <translation>Heartbeat:</translation>
    </message>
    <message>
        <source>保持不变</source>
        <translation>Keep</translation>
    </message>
    <message>
        <source>Mac</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>修改前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>修改后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1不是有效的地址</source>
        <translation>%1 is not a valid address</translation>
    </message>
    <message>
        <source>起始IP地址</source>
        <translation>First IP address</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>服务器IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>服务器端口应为 0 到 65535</source>
        <translation>The server port must be 0 to 65535</translation>
    </message>
    <message>
        <source>心跳应为 0 到 255</source>
        <translation>The heartbeat must be 0 to 255</translation>
    </message>
    <message>
        <source>不能修改：%1</source>
        <translation>Cannot change: %1</translation>
    </message>
    <message>
        <source>警告：%1</source>
        <translation>Warning: %1</translation>
    </message>
    <message>
        <source>修改记录未能写入：%1</source>
        <translation>The history could not be written: %1</translation>
    </message>
</context>
<context>
    <name>kestrum::BusyPopup</name>
    <message>
        <source>正在搜寻......</source>
        <translation>Searching......</translation>
    </message>
</context>
<context>
    <name>kestrum::TFrm_CardSearch</name>
    <message>
        <source>屏幕总数</source>
        <translation>Screens: </translation>
    </message>
    <message>
        <source>修改成功</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>修改失败</source>
        <translation>Change failed</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>无法导出到 %1：%2</source>
        <translation>Cannot export to %1: %2</translation>
    </message>
    <message>
        <source>复制此行</source>
        <translation>Copy row</translation>
    </message>
    <message>
        <source>复制IP</source>
        <translation>Copy IP</translation>
    </message>
    <message>
        <source>复制Mac地址</source>
        <translation>Copy MAC address</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>打开修改记录文件夹</source>
        <translation>Open change history folder</translation>
    </message>
    <message>
        <source>网络参数</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>IP地址:</source>
        <translation>IP address:</translation>
    </message>
    <message>
        <source>子网掩码:</source>
        <translation>Mask:</translation>
    </message>
    <message>
        <source>网关:</source>
        <translation>Gateway:</translation>
    </message>
    <message>
        <source>Mac:</source>
        <translation>MAC:</translation>
    </message>
    <message>
        <source>服务器IP:</source>
        <translation>Server IP:</translation>
    </message>
    <message>
        <source>服务器端口:</source>
        <translation>Server port:</translation>
    </message>
    <message>
        <source>心跳:</source>
        <translation>Heartbeat:</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>驱动属性</source>
        <translation>Driver</translation>
    </message>
    <message>
        <source>走线:</source>
        <translation>Scan:</translation>
    </message>
    <message>
        <source>行序:</source>
        <translation>Rows:</translation>
    </message>
    <message>
        <source>红绿:</source>
        <translation>Red/green:</translation>
    </message>
    <message>
        <source>屏幕属性</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>系列:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>版本号:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>屏号:</source>
        <translation>Screen:</translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <source>宽度:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>高度:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>颜色:</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>服务器IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>%1 第%2段</source>
        <translation>%1, octet %2 of 4</translation>
    </message>
    <message>
        <source>Mac地址</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>服务器端口</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>控制卡列表</source>
        <translation>Control cards</translation>
    </message>
    <message>
        <source>批量修改所选…</source>
        <translation>Change selected…</translation>
    </message>
    <message>
        <source>恢复到上次修改前…</source>
        <translation>Undo last change…</translation>
    </message>
</context>
</TS>
