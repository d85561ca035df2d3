<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CommissioningReport</name>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>调试报告：安全区域配置</source>
        <translation>Commissioning report: safety region configuration</translation>
    </message>
    <message>
        <source>日期和时间</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>工具版本</source>
        <translation>Tool version</translation>
    </message>
    <message>
        <source>区域设置文件</source>
        <translation>Region settings file</translation>
    </message>
    <message>
        <source>指纹 (SHA-256)</source>
        <translation>Fingerprint (SHA-256)</translation>
    </message>
    <message>
        <source>设备连接</source>
        <translation>Device link</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>not connected</translation>
    </message>
    <message>
        <source>角分辨率</source>
        <translation>Angle Resolution</translation>
    </message>
    <message>
        <source>上次校验下载</source>
        <translation>Last verified download</translation>
    </message>
    <message>
        <source>使用的区域组</source>
        <translation>Groups in use</translation>
    </message>
    <message>
        <source>车辆</source>
        <translation>Vehicle</translation>
    </message>
    <message>
        <source>负责人</source>
        <translation>Person responsible</translation>
    </message>
    <message>
        <source>签名</source>
        <translation>Signature</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>第 %1 组</source>
        <translation>Group %1</translation>
    </message>
    <message>
        <source>%1 mm（网格一格）</source>
        <translation>%1 mm (one grid cell)</translation>
    </message>
    <message>
        <source>区域%1</source>
        <translation>Area %1</translation>
    </message>
    <message>
        <source>报警点数：%1</source>
        <translation>Alarm points: %1</translation>
    </message>
    <message>
        <source>顶点</source>
        <translation>Vertex</translation>
    </message>
    <message>
        <source>侵入测试记录</source>
        <translation>Intrusion test log</translation>
    </message>
    <message>
        <source>对每个区域，将测试物体放入区域内，记录位置、预期反应和实际结果。</source>
        <translation>For each area, place the test object inside it and record its position, the expected reaction and the actual result.</translation>
    </message>
    <message>
        <source>区域</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>测试物体</source>
        <translation>Test object</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>预期</source>
        <translation>Expected</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>签名缩写</source>
        <translation>Initials</translation>
    </message>
</context>
<context>
    <name>AlarmStateStrip</name>
    <message>
        <source>区域内的点数 / 告警点数，以及该区域是否告警</source>
        <translation>Points inside the region / its alarm point count, and whether it alarms</translation>
    </message>
    <message>
        <source>区域%1：未设置</source>
        <translation>Region %1: not set</translation>
    </message>
    <message>
        <source>区域%1：%2 / %3 %4</source>
        <translation>Region %1: %2 / %3 %4</translation>
    </message>
    <message>
        <source>告警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Clear</translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>下位机接收到停止点云指令</source>
        <translation>The lower computer received a stop point cloud command</translation>
    </message>
    <message>
        <source>角分辨率为0.18度</source>
        <translation>The angular resolution is 0.18 degrees</translation>
    </message>
    <message>
        <source>角分辨率为0.36度</source>
        <translation>The angular resolution is 0.36 degrees</translation>
    </message>
    <message>
        <source>停止雷达</source>
        <translation>Stop the radar</translation>
    </message>
    <message>
        <source>设置雷达参数</source>
        <translation>Set radar parameters</translation>
    </message>
    <message>
        <source>发送雷达开始采集命令</source>
        <translation>Send radar start acquisition command</translation>
    </message>
    <message>
        <source>发送雷达停止采集命令</source>
        <translation>Send radar stop acquisition command</translation>
    </message>
    <message>
        <source>发送雷达停止采集命令成功</source>
        <translation>Successfully sent radar stop acquisition command</translation>
    </message>
    <message>
        <source>响应超时第</source>
        <translation>Response timeout at </translation>
    </message>
    <message>
        <source>次</source>
        <translation> time</translation>
    </message>
    <message>
        <source>获取雷达角分辨率成功</source>
        <translation>Successfully obtained radar angular resolution</translation>
    </message>
    <message>
        <source>获取雷达角分辨率响应超时</source>
        <translation>Obtaining radar angular resolution response timeout</translation>
    </message>
    <message>
        <source>校验位错误</source>
        <translation>Check bit error</translation>
    </message>
    <message>
        <source>雷达的实际型号不符</source>
        <translation>The actual model of the radar does not match</translation>
    </message>
    <message>
        <source>下位机接收成功</source>
        <translation>The lower computer received successfully</translation>
    </message>
    <message>
        <source>下位机接收到下载指令</source>
        <translation>The lower computer received a download command</translation>
    </message>
    <message>
        <source>开始解析下载区域数据</source>
        <translation>Start parsing download area data</translation>
    </message>
    <message>
        <source>结束解析下载区域数据</source>
        <translation>End parsing download area data</translation>
    </message>
    <message>
        <source>上传区域数据完成</source>
        <translation>Upload area data completed</translation>
    </message>
</context>
<context>
    <name>DialogInfo</name>
    <message>
        <source>提示</source>
        <translation>Prompt Dialog</translation>
    </message>
    <message>
        <source>是否关闭软件？</source>
        <translation>Do you want to exit app?</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>NO</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>通讯方式</source>
        <translation>Comm Method</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>网口</source>
        <translation>UDP</translation>
    </message>
    <message>
        <source>RS232/RS485</source>
        <translation>RS232/RS485</translation>
    </message>
    <message>
        <source>选择串口</source>
        <translation>Serial Port</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>本机IP</source>
        <translation>Local IP</translation>
    </message>
    <message>
        <source>本机端口</source>
        <translation>Local Port</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device Name</translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial Number</translation>
    </message>
    <message>
        <source>版本号</source>
        <translation>Version Number</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud Rate</translation>
    </message>
    <message>
        <source>角分辨率</source>
        <translation>Angle Resolution</translation>
    </message>
    <message>
        <source>扫描频率</source>
        <translation>Scan Frequency</translation>
    </message>
    <message>
        <source>IO输出方式</source>
        <translation>IO Output Mode</translation>
    </message>
    <message>
        <source>常开</source>
        <translation>Normally Open</translation>
    </message>
    <message>
        <source>常闭</source>
        <translation>Normally Closed</translation>
    </message>
    <message>
        <source>导航模式</source>
        <translation>Navigation Mode</translation>
    </message>
    <message>
        <source>开始扫描</source>
        <translation>Start to Scan</translation>
    </message>
    <message>
        <source>停止扫描</source>
        <translation>Stop Scanning</translation>
    </message>
    <message>
        <source> 显示方式</source>
        <translation>Disply Mode</translation>
    </message>
    <message>
        <source>点</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>线</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>点半径</source>
        <translation>Point Radius</translation>
    </message>
    <message>
        <source>线宽度</source>
        <translation>Line Width</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>添加测试点</source>
        <translation>Add Test Point</translation>
    </message>
    <message>
        <source>清屏</source>
        <translation>Clear Screen</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>区域1</source>
        <translation>Area1</translation>
    </message>
    <message>
        <source>区域2</source>
        <translation>Area2</translation>
    </message>
    <message>
        <source>区域3</source>
        <translation>Area3</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>Open Config</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save Config</translation>
    </message>
    <message>
        <source>告警状态</source>
        <translation>Alarm Status</translation>
    </message>
    <message>
        <source>设置告警点数</source>
        <translation>Set Alarm Points</translation>
    </message>
    <message>
        <source>请从原点开始绘制区域</source>
        <translation>Please draw the Area from the Origin</translation>
    </message>
    <message>
        <source>上传</source>
        <translation>Upload</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>数据报文▼      </source>
        <translation>Data Message</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>发送:</source>
        <translation>Send:</translation>
    </message>
    <message>
        <source>接收:</source>
        <translation>Receive:</translation>
    </message>
    <message>
        <source>连接设置</source>
        <translation>Connect Setting</translation>
    </message>
    <message>
        <source>扫描图像</source>
        <translation>Scanned Image</translation>
    </message>
    <message>
        <source>区域设置</source>
        <translation>Area Setting</translation>
    </message>
    <message>
        <source>数据报文</source>
        <translation>Data Message</translation>
    </message>
    <message>
        <source>接线图示</source>
        <translation>Wiring Diagram</translation>
    </message>
    <message>
        <source>停止转动</source>
        <translation>Stop rotating</translation>
    </message>
    <message>
        <source>避障模式</source>
        <translation>Avoidance mode</translation>
    </message>
    <message>
        <source>:/images/resource/wiring_diagram.jpg</source>
        <translation>:/images/resource/wiring_diagram_en.png</translation>
    </message>
    <message>
        <source>设置位置超限！</source>
        <translation>Setting position limit exceeded!</translation>
    </message>
    <message>
        <source>颜色对话框</source>
        <translation>Color Dialog</translation>
    </message>
    <message>
        <source>VKS20 系列</source>
        <translation>VKS20 Series</translation>
    </message>
    <message>
        <source>:/images/resource/default_icon.png</source>
        <translation>:/images/resource/default_icon.png</translation>
    </message>
    <message>
        <source>打开区域设置文件</source>
        <translation>Open Regional Settings File</translation>
    </message>
    <message>
        <source>dat文件(*.dat)</source>
        <translation>dat file(*.dat)</translation>
    </message>
    <message>
        <source>打开区域设置文件失败！</source>
        <translation>Failed to open the regional settings file!</translation>
    </message>
    <message>
        <source>打开区域设置文件成功！</source>
        <translation>Successfully opened the regional settings file!</translation>
    </message>
    <message>
        <source>保存区域设置文件</source>
        <translation>Save Regional Settings File</translation>
    </message>
    <message>
        <source>保存区域设置文件成功！</source>
        <translation>Successfully saved the region settings file!</translation>
    </message>
    <message>
        <source>保存区域设置文件失败！</source>
        <translation>Failed to save the region settings file!</translation>
    </message>
    <message>
        <source>下载区域设置成功！</source>
        <translation>Download region settings successful!</translation>
    </message>
    <message>
        <source>下载区域设置失败：%1 个区域未被确认！</source>
        <translation>Download region settings failed: %1 regions not acknowledged!</translation>
    </message>
    <message>
        <source>上传区域设置未完成：已收到 %1/45 个区域！</source>
        <translation>Upload region settings incomplete: %1 of 45 regions received!</translation>
    </message>
    <message>
        <source>上传区域设置成功！</source>
        <translation>Successfully uploaded region settings!</translation>
    </message>
    <message>
        <source>从扫描示教</source>
        <translation>Teach from Scan</translation>
    </message>
    <message>
        <source>示教余量</source>
        <translation>Teach Margin</translation>
    </message>
    <message>
        <source>起始角度</source>
        <translation>Start Angle</translation>
    </message>
    <message>
        <source>终止角度</source>
        <translation>End Angle</translation>
    </message>
    <message>
        <source>导出区域</source>
        <translation>Export regions</translation>
    </message>
    <message>
        <source>导出图像</source>
        <translation>Export image</translation>
    </message>
    <message>
        <source>未添加端点：该区域已有 30 个端点。</source>
        <translation>No vertex added: the area already has 30 vertices.</translation>
    </message>
    <message>
        <source>未添加端点：双击位置在扫描范围之外。</source>
        <translation>No vertex added: the point lies outside the scan field.</translation>
    </message>
    <message>
        <source>尚未收到完整的一圈扫描！</source>
        <translation>No complete revolution has been received yet!</translation>
    </message>
    <message>
        <source>示教扇区内没有可用的扫描范围！</source>
        <translation>The teach sector holds no part of the scan field!</translation>
    </message>
    <message>
        <source>导出区域图像</source>
        <translation>Export Area Image</translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation>PNG image(*.png)</translation>
    </message>
    <message>
        <source>导出区域图像成功！</source>
        <translation>Successfully exported the area image!</translation>
    </message>
    <message>
        <source>导出区域图像失败！</source>
        <translation>Failed to export the area image!</translation>
    </message>
    <message>
        <source>导出区域表格</source>
        <translation>Export Areas as CSV</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation>CSV file(*.csv)</translation>
    </message>
    <message>
        <source>导出区域表格成功！</source>
        <translation>Successfully exported the areas!</translation>
    </message>
    <message>
        <source>导出区域表格失败！</source>
        <translation>Failed to export the areas!</translation>
    </message>
    <message>
        <source>下载后校验</source>
        <translation>Verify after download</translation>
    </message>
    <message>
        <source>校验失败：只读回 %1/45 个区域！</source>
        <translation>Verification failed: only %1 of 45 regions read back!</translation>
    </message>
    <message>
        <source>下载区域设置成功并已校验！</source>
        <translation>Download region settings successful and verified!</translation>
    </message>
    <message>
        <source>校验失败：设备上第 %1 组区域 %2 与写入的不同！</source>
        <translation>Verification failed: group %1 region %2 differs on the device!</translation>
    </message>
    <message>
        <source>另有 %1 个区域不同。</source>
        <translation>%1 more regions differ.</translation>
    </message>
    <message>
        <source>设备已 3 秒无应答</source>
        <translation>The device has not answered for 3 s</translation>
    </message>
    <message>
        <source>设备已断开，正在等待其重新连接……</source>
        <translation>Device lost, waiting for it to return...</translation>
    </message>
    <message>
        <source>设备已重新连接：%1</source>
        <translation>Device returned: %1</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>回放</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>最快</source>
        <translation>Fastest</translation>
    </message>
    <message>
        <source>录制</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>回放捕获…</source>
        <translation>Replay capture…</translation>
    </message>
    <message>
        <source>保存捕获文件</source>
        <translation>Save Capture File</translation>
    </message>
    <message>
        <source>捕获文件 (*.pcap)</source>
        <translation>Capture files (*.pcap)</translation>
    </message>
    <message>
        <source>无法录制：%1</source>
        <translation>Cannot record: %1</translation>
    </message>
    <message>
        <source>录制中… %1 字节</source>
        <translation>Recording… %1 bytes</translation>
    </message>
    <message>
        <source>打开捕获文件</source>
        <translation>Open Capture File</translation>
    </message>
    <message>
        <source>设备正忙，请稍后再回放！</source>
        <translation>The device is busy, replay again shortly!</translation>
    </message>
    <message>
        <source>无法回放：%1</source>
        <translation>Cannot replay: %1</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>%1 / %2 秒</source>
        <translation>%1 / %2 s</translation>
    </message>
    <message>
        <source>（第 %1 条记录处损坏）</source>
        <translation>(damaged at record %1)</translation>
    </message>
    <message>
        <source>捕获文件在第 %1 条记录（第 %2 秒）处损坏，只能回放到此处</source>
        <translation>The capture is damaged at record %1 (%2 s): it replays only up to there</translation>
    </message>
    <message>
        <source>导出点云 CSV…</source>
        <translation>Export point cloud as CSV…</translation>
    </message>
    <message>
        <source>导出图像 PNG…</source>
        <translation>Export image as PNG…</translation>
    </message>
    <message>
        <source>导出点云</source>
        <translation>Export Point Cloud</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>PNG 图像 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>导出失败：%1</source>
        <translation>Export failed: %1</translation>
    </message>
    <message>
        <source>无法绑定本机地址 %1：%2</source>
        <translation>Cannot bind the local address %1: %2</translation>
    </message>
    <message>
        <source>结束比较</source>
        <translation>End the comparison</translation>
    </message>
    <message>
        <source>与文件比较…</source>
        <translation>Compare with file…</translation>
    </message>
    <message>
        <source>报告…</source>
        <translation>Report…</translation>
    </message>
    <message>
        <source>复制指纹</source>
        <translation>Copy fingerprint</translation>
    </message>
    <message>
        <source>保存为 PDF…</source>
        <translation>Save as PDF…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>指纹 %1</source>
        <translation>Fingerprint %1</translation>
    </message>
    <message>
        <source>指纹 %1（与 %2 相同）</source>
        <translation>Fingerprint %1 (same as %2)</translation>
    </message>
    <message>
        <source>指纹 %1（与 %2 不同）</source>
        <translation>Fingerprint %1 (differs from %2)</translation>
    </message>
    <message>
        <source>与区域设置文件比较</source>
        <translation>Compare with a region settings file</translation>
    </message>
    <message>
        <source>所有区域相同</source>
        <translation>All regions equal</translation>
    </message>
    <message>
        <source>%1 个区域不同</source>
        <translation>%1 regions differ</translation>
    </message>
    <message>
        <source>顶点数 %1 / %2</source>
        <translation>vertices %1 / %2</translation>
    </message>
    <message>
        <source>顶点 %1 位置不同</source>
        <translation>vertex %1 moved</translation>
    </message>
    <message>
        <source>报警点数 %1 / %2</source>
        <translation>alarm points %1 / %2</translation>
    </message>
    <message>
        <source>第 %1 组区域 %2：%3</source>
        <translation>Group %1 region %2: %3</translation>
    </message>
    <message>
        <source>保存调试报告</source>
        <translation>Save the commissioning report</translation>
    </message>
    <message>
        <source>PDF 文件(*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>保存调试报告成功！</source>
        <translation>Commissioning report saved!</translation>
    </message>
    <message>
        <source>保存调试报告失败！</source>
        <translation>Saving the commissioning report failed!</translation>
    </message>
    <message>
        <source>打印调试报告失败！</source>
        <translation>Printing the commissioning report failed!</translation>
    </message>
    <message>
        <source>导出 DXF…</source>
        <translation>Export DXF…</translation>
    </message>
    <message>
        <source>导入 DXF…</source>
        <translation>Import DXF…</translation>
    </message>
    <message>
        <source>导出图像 SVG…</source>
        <translation>Export image as SVG…</translation>
    </message>
    <message>
        <source>SVG 图像 (*.svg)</source>
        <translation>SVG image (*.svg)</translation>
    </message>
    <message>
        <source>SVG图像(*.svg)</source>
        <translation>SVG image(*.svg)</translation>
    </message>
    <message>
        <source>不是可读取的 DXF 图纸</source>
        <translation>not a readable DXF drawing</translation>
    </message>
    <message>
        <source>图纸中没有图层 %1</source>
        <translation>the drawing has no layer %1</translation>
    </message>
    <message>
        <source>图层 %1 上没有闭合多边形</source>
        <translation>layer %1 holds no closed polygon</translation>
    </message>
    <message>
        <source>图层 %1 上的多边形有 %2 个端点，区域最多 %3 个</source>
        <translation>the polygon on layer %1 has %2 points; an area has at most %3</translation>
    </message>
    <message>
        <source>端点 %1 (%2, %3) mm 超出 20000 mm</source>
        <translation>point %1 (%2, %3) mm lies beyond 20000 mm</translation>
    </message>
    <message>
        <source>端点 %1 (%2, %3) mm 在扫描范围之外</source>
        <translation>point %1 (%2, %3) mm lies outside the scan field</translation>
    </message>
    <message>
        <source>图纸单位（$INSUNITS %1）不是毫米、米或英寸</source>
        <translation>the drawing&apos;s units ($INSUNITS %1) are not millimetres, metres or inches</translation>
    </message>
    <message>
        <source>已从图层 %1 导入 %2 个端点</source>
        <translation>Imported %2 points from layer %1</translation>
    </message>
    <message>
        <source>米</source>
        <translation>metres</translation>
    </message>
    <message>
        <source>英寸</source>
        <translation>inches</translation>
    </message>
    <message>
        <source>（由%1换算为毫米）</source>
        <translation> (converted from %1 to millimetres)</translation>
    </message>
    <message>
        <source>导出 DXF</source>
        <translation>Export DXF</translation>
    </message>
    <message>
        <source>DXF 图纸 (*.dxf)</source>
        <translation>DXF drawing (*.dxf)</translation>
    </message>
    <message>
        <source>导出 DXF 成功！</source>
        <translation>Successfully exported the DXF drawing!</translation>
    </message>
    <message>
        <source>导出 DXF 失败！</source>
        <translation>Failed to export the DXF drawing!</translation>
    </message>
    <message>
        <source>导入 DXF</source>
        <translation>Import DXF</translation>
    </message>
    <message>
        <source>导入 DXF 失败：%1</source>
        <translation>DXF import failed: %1</translation>
    </message>
    <message>
        <source>图纸中没有线条或多段线</source>
        <translation>the drawing holds no lines or polylines</translation>
    </message>
    <message>
        <source>选取图层：</source>
        <translation>Layer:</translation>
    </message>
    <message>
        <source>按最近一圈扫描显示各区域的告警状态（预览，并非设备的安全功能）</source>
        <translation>Show each region's alarm state against the latest revolution (a preview, not the device's safety function)</translation>
    </message>
    <message>
        <source>监视组</source>
        <translation>Watched group</translation>
    </message>
    <message>
        <source>设备根据其输入选择当前生效的区域组，本工具无法读取这些输入：请选择要查看的组</source>
        <translation>The device picks its active group from its inputs, which this tool cannot read: choose the group to watch</translation>
    </message>
</context>
<context>
    <name>PortOpenFailure</name>
    <message>
        <source>无法打开串口 %1：%2</source>
        <translation>Cannot open the serial port %1: %2</translation>
    </message>
    <message>
        <source>请将当前用户加入拥有该设备的用户组 %1：</source>
        <translation>Add your user to %1, the group that owns the device:</translation>
    </message>
    <message>
        <source>然后重新登录。</source>
        <translation>then log in again.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>华文细黑</source>
        <translation>Arial</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Prompt</translation>
    </message>
    <message>
        <source>程序已经运行</source>
        <translation>The program has already been run</translation>
    </message>
</context>
<context>
    <name>RadarIndicatorWidget</name>
    <message>
        <source>华文细黑</source>
        <translation>Arial</translation>
    </message>
    <message>
        <source>刻度尺: %0mm</source>
        <translation>Scale: %0mm</translation>
    </message>
    <message>
        <source>X轴: %0mm</source>
        <translation>X: %0mm</translation>
    </message>
    <message>
        <source>Y轴: %0mm</source>
        <translation>Y: %0mm</translation>
    </message>
    <message>
        <source>距离: %0mm</source>
        <translation>Distance: %0mm</translation>
    </message>
    <message>
        <source>角度: %0°</source>
        <translation>Angle: %0°</translation>
    </message>
</context>
<context>
    <name>RegionDocument</name>
    <message>
        <source>拖动端点 %3（组 %1，区域 %2）</source>
        <translation>Drag vertex %3 (group %1, area %2)</translation>
    </message>
    <message>
        <source>修改端点 %3 坐标（组 %1，区域 %2）</source>
        <translation>Edit vertex %3 (group %1, area %2)</translation>
    </message>
    <message>
        <source>添加端点 %3（组 %1，区域 %2）</source>
        <translation>Add vertex %3 (group %1, area %2)</translation>
    </message>
    <message>
        <source>删除端点 %3（组 %1，区域 %2）</source>
        <translation>Remove vertex %3 (group %1, area %2)</translation>
    </message>
    <message>
        <source>端点数设为 %3（组 %1，区域 %2）</source>
        <translation>Set vertex count to %3 (group %1, area %2)</translation>
    </message>
    <message>
        <source>从扫描示教（组 %1，区域 %2）</source>
        <translation>Teach from scan (group %1, area %2)</translation>
    </message>
    <message>
        <source>修改区域颜色（组 %1，区域 %2）</source>
        <translation>Change area color (group %1, area %2)</translation>
    </message>
    <message>
        <source>告警点数设为 %3（组 %1，区域 %2）</source>
        <translation>Set alarm points to %3 (group %1, area %2)</translation>
    </message>
    <message>
        <source>粘贴到组 %1</source>
        <translation>Paste onto group %1</translation>
    </message>
    <message>
        <source>打开区域设置文件 %1</source>
        <translation>Open regional settings file %1</translation>
    </message>
    <message>
        <source>从设备读取区域</source>
        <translation>Read areas from the device</translation>
    </message>
    <message>
        <source>从 DXF 图层 %3 导入（组 %1，区域 %2）</source>
        <translation>Import from DXF layer %3 (group %1, area %2)</translation>
    </message>
</context>
<context>
    <name>RegionEditActions</name>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>复制区域组</source>
        <translation>Copy Area Group</translation>
    </message>
    <message>
        <source>粘贴区域组</source>
        <translation>Paste Area Group</translation>
    </message>
    <message>
        <source>撤销：%1</source>
        <translation>Undo: %1</translation>
    </message>
    <message>
        <source>重做：%1</source>
        <translation>Redo: %1</translation>
    </message>
</context>
<context>
    <name>RegionWidget</name>
    <message>
        <source>区域颜色</source>
        <translation>Area Color</translation>
    </message>
    <message>
        <source>直角坐标</source>
        <translation>Cartesian</translation>
    </message>
    <message>
        <source>极坐标</source>
        <translation>Polar</translation>
    </message>
    <message>
        <source>区域端点数设置</source>
        <translation>Area Points Setting</translation>
    </message>
    <message>
        <source>X轴(mm)</source>
        <translation>X(mm)</translation>
    </message>
    <message>
        <source>Y轴(mm)</source>
        <translation>Y(mm)</translation>
    </message>
    <message>
        <source>颜色对话框</source>
        <translation>Color Dialog</translation>
    </message>
</context>
<context>
    <name>ReplayAlarmMarks</name>
    <message>
        <source>红色标记为告警处，点击标记跳转到该处</source>
        <translation>Red marks show where the watched group alarms; click a mark to go there</translation>
    </message>
</context>
<context>
    <name>UxFramelessWindow</name>
    <message>
        <source>VKS20</source>
        <translation>VKS20</translation>
    </message>
</context>
</TS>
